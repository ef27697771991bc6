#include "Platform/FileManager/DirectoryEnumerator.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

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

FileType typeOfEntry(DIR* dir, const dirent& entry)
{
    switch (entry.d_type) {
    case DT_REG:
        return FileType::Regular;
    case DT_DIR:
        return FileType::Directory;
    case DT_LNK:
        return FileType::SymbolicLink;
    case DT_UNKNOWN: {
        struct stat info {};
        if (::fstatat(::dirfd(dir), entry.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            return FileType::Unknown;
        return typeOfMode(info.st_mode);
    }
    default:
        return FileType::Other;
    }
}

bool isDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

} // namespace

std::unique_ptr<DirectoryEnumerator> DirectoryEnumerator::make(const std::string& folder)
{
    DIR* top = ::opendir(folder.c_str());
    if (!top)
        return nullptr;
    return std::unique_ptr<DirectoryEnumerator>(new DirectoryEnumerator(top));
}

std::unique_ptr<DirectoryEnumerator> DirectoryEnumerator::make(Descriptor folder)
{
    DIR* top = folder ? ::fdopendir(folder.get()) : nullptr;
    if (!top)
        return nullptr;
    folder.release(); // the listing closes it
    return std::unique_ptr<DirectoryEnumerator>(new DirectoryEnumerator(top));
}

DirectoryEnumerator::DirectoryEnumerator(DIR* top)
{
    levels_.push_back({top, {}});
}

DirectoryEnumerator::~DirectoryEnumerator()
{
    for (auto& level : levels_)
        ::closedir(level.dir);
}

void DirectoryEnumerator::descendIntoCurrent()
{
    descendPending_ = false;
    const int fd = ::openat(::dirfd(levels_.back().dir), currentName_.c_str(),
                            O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    levels_.push_back({dir, current_ + '/'});
}

const std::string* DirectoryEnumerator::nextObject()
{
    if (descendPending_)
        descendIntoCurrent();
    while (!levels_.empty()) {
        Level& level = levels_.back();
        const dirent* entry = ::readdir(level.dir);
        if (!entry) {
            ::closedir(level.dir);
            levels_.pop_back();
            continue;
        }
        if (isDotOrDotDot(entry->d_name))
            continue;
        currentName_.assign(entry->d_name);
        current_.assign(level.prefix).append(currentName_);
        currentType_ = typeOfEntry(level.dir, *entry);
        descendPending_ = currentType_ == FileType::Directory;
        return &current_;
    }
    return nullptr;
}

} // namespace platform
