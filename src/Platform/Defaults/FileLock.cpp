#include "Platform/Defaults/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

FileLock::FileLock(const std::string& lockPath, Mode mode, Wait wait)
{
    fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
        return;
    const int operation = (mode == Mode::Shared ? LOCK_SH : LOCK_EX) | (wait == Wait::Never ? LOCK_NB : 0);
    int result;
    while ((result = ::flock(fd_, operation)) != 0 && errno == EINTR) {
    }
    if (result != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

FileLock::~FileLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

} // namespace platform
