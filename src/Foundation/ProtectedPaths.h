#pragma once

#include "Platform/Files/FolderDescriptors.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Whether no record may have the path found, removed or deleted: a path that is
// not absolute or has a ".." component; one whose resolved form (links followed)
// lies outside the platform root or cannot be resolved; the file-system root, the
// platform root, a standard folder of the system or of the user, a scan root, the
// product's support folder, or a folder that holds one of them. The path is judged
// as written and with its links resolved, so a link is judged by where it leads.
bool isProtectedPath(const std::string& path);

// The same judgement with the protected folders resolved once, at construction
// (each path judged is resolved when it is judged): for judging many paths in a
// row, as a read of the records, a scan's matching and a clean do.
class ProtectedFolders {
public:
    ProtectedFolders();
    bool protects(const std::string& path) const;
    // The item at `path` as a handle (O_PATH) opened in the walk that judged it, so
    // that what is asked of it next is asked of what was judged; none where nothing
    // exists there or it is protected.
    platform::Descriptor openUnprotected(const std::string& path) const;
    // The folder at `path` opened for reading in the same way, so that what is
    // listed is what was judged; none where it is protected or no folder.
    platform::Descriptor openUnprotectedFolder(const std::string& path) const;

    // How many sets the process has resolved so far.
    static std::uint64_t resolvedSets();

private:
    platform::Descriptor openJudged(const std::string& path, int flags) const;
    static bool isJudgeable(const std::filesystem::path& written);
    bool protectsResolved(const std::filesystem::path& written,
                          const std::optional<std::filesystem::path>& resolved) const;
    bool holdsAFolder(const std::filesystem::path& form) const;

    std::vector<std::filesystem::path> folders_; // each as written and resolved, by text
    std::optional<std::filesystem::path> root_;  // the platform root, resolved
};

// Whether a path leads, with its links resolved, to a folder the user owns,
// wherever it lies, other than the user's home or a folder that holds it. False
// for a path that is not absolute or cannot be resolved.
bool leadsToAFolderOfTheUser(const std::string& path);
