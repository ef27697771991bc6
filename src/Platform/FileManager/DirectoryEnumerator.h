#pragma once

#include "Platform/Files/FolderDescriptors.h"
#include "Platform/Files/FolderEntries.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The type of an entry as the enumerator sees it; links are not followed.
enum class FileType { Regular, Directory, SymbolicLink, Other, Unknown };

// NSDirectoryEnumerator of enumeratorAtPath: – every entry below a folder, depth
// first, hidden ones included, each as a path relative to the folder. Symbolic
// links are reported, never followed. A subfolder that cannot be read is passed
// over.
class DirectoryEnumerator {
public:
    // Null when the folder cannot be opened.
    static std::unique_ptr<DirectoryEnumerator> make(const std::string& folder);
    // The same below a folder already opened for reading; null when it is none.
    static std::unique_ptr<DirectoryEnumerator> make(Descriptor folder);
    DirectoryEnumerator(const DirectoryEnumerator&) = delete;
    DirectoryEnumerator& operator=(const DirectoryEnumerator&) = delete;

    // The next entry relative to the folder; null when the enumeration is exhausted.
    const std::string* nextObject();

    // The current entry's type (fileAttributes' NSFileType); Unknown when it cannot be read.
    FileType fileType() const { return currentType_; }

    // Do not descend into the current entry (a folder).
    void skipDescendants() { descendPending_ = false; }

private:
    struct Level {
        FolderEntries entries;
        std::string prefix; // relative path of the folder, with a trailing '/' (empty at the top)
    };

    explicit DirectoryEnumerator(FolderEntries top);
    static std::unique_ptr<DirectoryEnumerator> below(std::optional<FolderEntries> top);
    void descendIntoCurrent();

    std::vector<Level> levels_;
    std::string current_;
    std::string currentName_;
    FileType currentType_ = FileType::Unknown;
    bool descendPending_ = false;
};

} // namespace platform
