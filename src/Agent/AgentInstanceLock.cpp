#include "Agent/AgentInstanceLock.h"

#include "Foundation/UserPaths.h"

#include <filesystem>

platform::FileLock takeAgentInstanceLock()
{
    std::error_code ignored;
    std::filesystem::create_directories(supportFolderPath(), ignored);
    return platform::FileLock(supportFolderPath() + "/.agent.lock", platform::FileLock::Mode::Exclusive,
                              platform::FileLock::Wait::Never);
}
