#include "Platform/FileManager/DirectoryEnumerator.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

FileType typeOfMode(mode_t mode)
{
    if (S_ISREG(mode))
        return FileType::Regular;
    if (S_ISDIR(mode))
        return FileType::Directory;
    if (S_ISLNK(mode))
        return FileType::SymbolicLink;
    return FileType::Other;
}

FileType typeOfEntry(int folder, const std::string& name, unsigned char type)
{
    switch (type) {
    case DT_REG:
        return FileType::Regular;
    case DT_DIR:
        return FileType::Directory;
    case DT_LNK:
        return FileType::SymbolicLink;
    case DT_UNKNOWN: {
        struct stat info {};
        if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
            return FileType::Unknown;
        return typeOfMode(info.st_mode);
    }
    default:
        return FileType::Other;
    }
}

} // namespace

std::unique_ptr<DirectoryEnumerator> DirectoryEnumerator::make(const std::string& folder)
{
    return below(FolderEntries::open(folder));
}

std::unique_ptr<DirectoryEnumerator> DirectoryEnumerator::make(Descriptor folder)
{
    return below(FolderEntries::open(std::move(folder)));
}

std::unique_ptr<DirectoryEnumerator> DirectoryEnumerator::below(std::optional<FolderEntries> top)
{
    if (!top)
        return nullptr;
    return std::unique_ptr<DirectoryEnumerator>(new DirectoryEnumerator(std::move(*top)));
}

DirectoryEnumerator::DirectoryEnumerator(FolderEntries top)
{
    levels_.push_back({std::move(top), {}});
}

void DirectoryEnumerator::descendIntoCurrent()
{
    descendPending_ = false;
    Descriptor folder(::openat(levels_.back().entries.descriptor(), currentName_.c_str(),
                               O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (auto entries = FolderEntries::open(std::move(folder)))
        levels_.push_back({std::move(*entries), current_ + '/'});
}

const std::string* DirectoryEnumerator::nextObject()
{
    if (descendPending_)
        descendIntoCurrent();
    while (!levels_.empty()) {
        Level& level = levels_.back();
        const auto entry = level.entries.next();
        if (!entry) {
            levels_.pop_back();
            continue;
        }
        currentName_.assign(entry->name);
        current_.assign(level.prefix).append(currentName_);
        currentType_ = typeOfEntry(level.entries.descriptor(), currentName_, entry->type);
        descendPending_ = currentType_ == FileType::Directory;
        return &current_;
    }
    return nullptr;
}

} // namespace platform
