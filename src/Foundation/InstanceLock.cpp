#include "Foundation/InstanceLock.h"

#include "Foundation/UserPaths.h"

#include <filesystem>

namespace {

platform::FileLock takeInstanceLock(const char* lockFileName)
{
    std::error_code ignored;
    std::filesystem::create_directories(supportFolderPath(), ignored);
    return platform::FileLock(supportFolderPath() + "/" + lockFileName, platform::FileLock::Mode::Exclusive,
                              platform::FileLock::Wait::Never);
}

} // namespace

platform::FileLock takeAgentInstanceLock()
{
    return takeInstanceLock(".agent.lock");
}

platform::FileLock takeApplicationInstanceLock()
{
    return takeInstanceLock(".application.lock");
}
