#pragma once

#include "Platform/Files/FolderDescriptors.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include <sys/types.h>

namespace platform {

// The entries of a folder open for reading, taken from the kernel in batches
// (getdents64) with no stream made over the descriptor, which costs a stat and two
// flag calls a folder. "." and ".." are passed over.
class FolderEntries {
public:
    struct Entry {
        std::string_view name; // valid until the next call
        unsigned char type;    // the DT_ value; DT_UNKNOWN where the file system gives none
    };

    // Reads the first batch: null when `folder` is no folder open for reading.
    static std::optional<FolderEntries> open(Descriptor folder);
    // The same of the folder at `path` (a link to one is followed).
    static std::optional<FolderEntries> open(const std::string& path);

    // The next entry; null at the end, or once a batch cannot be read.
    std::optional<Entry> next();

    // Why the listing ended before its end; empty while none failed.
    std::error_code error() const { return error_; }

    int descriptor() const { return folder_.get(); }

private:
    explicit FolderEntries(Descriptor folder);
    // The bytes of the next batch read: 0 at the end, negative at an error; either
    // ends the listing.
    ssize_t readBatch();

    Descriptor folder_;
    std::unique_ptr<char[]> batch_;
    std::size_t size_ = 0;
    std::size_t offset_ = 0;
    bool ended_ = false;
    std::error_code error_;
};

} // namespace platform
