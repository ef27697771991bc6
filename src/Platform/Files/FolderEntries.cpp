#include "Platform/Files/FolderEntries.h"

#include <dirent.h>
#include <fcntl.h>

#include <cerrno>
#include <cstddef>
#include <cstring>

namespace platform {

namespace {

constexpr std::size_t batchBytes = 32 * 1024;

bool isDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

} // namespace

FolderEntries::FolderEntries(Descriptor folder)
    : folder_(std::move(folder)), batch_(std::make_unique_for_overwrite<char[]>(batchBytes))
{
}

std::optional<FolderEntries> FolderEntries::open(Descriptor folder)
{
    if (!folder)
        return std::nullopt;
    FolderEntries entries(std::move(folder));
    if (entries.readBatch() < 0)
        return std::nullopt;
    return entries;
}

std::optional<FolderEntries> FolderEntries::open(const std::string& path)
{
    return open(Descriptor(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)));
}

ssize_t FolderEntries::readBatch()
{
    ssize_t read = ::getdents64(folder_.get(), batch_.get(), batchBytes);
    if (read < 0 && errno == ENOENT)
        read = 0; // the folder was removed since it was opened: it holds nothing more
    offset_ = 0;
    size_ = read > 0 ? static_cast<std::size_t>(read) : 0;
    ended_ = read <= 0;
    if (read < 0)
        error_ = std::error_code(errno, std::system_category());
    return read;
}

std::optional<FolderEntries::Entry> FolderEntries::next()
{
    for (;;) {
        if (offset_ == size_ && (ended_ || readBatch() <= 0))
            return std::nullopt;
        dirent64 header;
        std::memcpy(&header, batch_.get() + offset_, offsetof(dirent64, d_name));
        const char* name = batch_.get() + offset_ + offsetof(dirent64, d_name);
        offset_ += header.d_reclen;
        if (!isDotOrDotDot(name))
            return Entry{name, header.d_type};
    }
}

} // namespace platform
