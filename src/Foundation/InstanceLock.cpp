#include "Foundation/InstanceLock.h"

#include "Foundation/UserPaths.h"

#include <filesystem>

namespace {

constexpr const char* applicationLockFile = ".application.lock";

std::string lockPath(const char* lockFileName)
{
    return supportFolderPath() + "/" + lockFileName;
}

platform::FileLock takeInstanceLock(const char* lockFileName)
{
    std::error_code ignored;
    std::filesystem::create_directories(supportFolderPath(), ignored);
    return platform::FileLock(lockPath(lockFileName), platform::FileLock::Mode::Exclusive,
                              platform::FileLock::Wait::Never);
}

} // namespace

platform::FileLock takeAgentInstanceLock()
{
    return takeInstanceLock(".agent.lock");
}

platform::FileLock takeApplicationInstanceLock()
{
    return takeInstanceLock(applicationLockFile);
}

std::string applicationInstanceLockPath()
{
    return lockPath(applicationLockFile);
}
