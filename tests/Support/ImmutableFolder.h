#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>

namespace testsupport {

// Makes a folder immutable, so that nobody (root included) may write it, until
// unlock() or the object's end. isSet() is false where the file system or the
// process cannot do it.
class ImmutableFolder {
public:
    explicit ImmutableFolder(const std::filesystem::path& folder)
        : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        set_ = fd_ >= 0 && changeFlag(true);
    }
    ImmutableFolder(const ImmutableFolder&) = delete;
    ImmutableFolder& operator=(const ImmutableFolder&) = delete;
    ~ImmutableFolder()
    {
        unlock();
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool isSet() const { return set_; }
    void unlock()
    {
        if (set_)
            set_ = !changeFlag(false);
    }

private:
    bool changeFlag(bool on)
    {
        int flags = 0;
        if (::ioctl(fd_, FS_IOC_GETFLAGS, &flags) != 0)
            return false;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        return ::ioctl(fd_, FS_IOC_SETFLAGS, &flags) == 0;
    }

    int fd_;
    bool set_ = false;
};

} // namespace testsupport
