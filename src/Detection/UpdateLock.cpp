#include "Detection/UpdateLock.h"

#include "Foundation/UserPaths.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <thread>

namespace {

constexpr auto retryInterval = std::chrono::milliseconds(50);

std::atomic<std::chrono::milliseconds> waitLimit = UpdateLock::maximumWait;

// Takes the lock on `fd` within the wait limit.
bool lockWithinLimit(int fd)
{
    const auto deadline = std::chrono::steady_clock::now() + waitLimit.load();
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(retryInterval);
    }
    return true;
}

} // namespace

UpdateLock::UpdateLock()
{
    std::error_code ignored;
    std::filesystem::create_directories(supportFolderPath(), ignored);
    const std::string path = supportFolderPath() + "/.definitions-update.lock";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    if (lockWithinLimit(fd))
        fd_ = fd;
    else
        ::close(fd);
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

void UpdateLock::setMaximumWaitForTesting(std::chrono::milliseconds wait)
{
    waitLimit = wait;
}
