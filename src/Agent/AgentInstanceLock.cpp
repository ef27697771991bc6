#include "Agent/AgentInstanceLock.h"

#include "Foundation/UserPaths.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

AgentInstanceLock::AgentInstanceLock()
{
    std::error_code ignored;
    std::filesystem::create_directories(supportFolderPath(), ignored);
    const std::string path = supportFolderPath() + "/.agent.lock";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    int result = -1;
    while (fd >= 0 && (result = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (result == 0)
        fd_ = fd;
    else if (fd >= 0)
        ::close(fd);
}

AgentInstanceLock::~AgentInstanceLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}
