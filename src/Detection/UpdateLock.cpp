#include "Detection/UpdateLock.h"

#include "Foundation/UserPaths.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

UpdateLock::UpdateLock()
{
    std::error_code ignored;
    std::filesystem::create_directories(supportFolderPath(), ignored);
    const std::string path = supportFolderPath() + "/.definitions-update.lock";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    while (fd >= 0 && ::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    fd_ = fd;
}

UpdateLock::~UpdateLock()
{
    release();
}

void UpdateLock::release()
{
    if (const int fd = fd_.exchange(-1); fd >= 0)
        ::close(fd); // closing the only descriptor ends the lock
}
