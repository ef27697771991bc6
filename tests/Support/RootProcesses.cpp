#include "RootProcesses.h"

#include "Platform/Workspace/ProcessList.h"
#include "Platform/Workspace/Workspace.h"
#include "TestRoot.h"

namespace testsupport {

std::string platformRootEntry()
{
    return "PLATFORM_ROOT=" + platformRootFolder().string();
}

bool environmentHolds(pid_t pid, const std::string& entry)
{
    const auto environment = platform::readProcessFile(pid, "environ");
    return environment && (std::string(1, '\0') + *environment).find('\0' + entry + '\0') != std::string::npos;
}

std::vector<platform::RunningApplication> runningCopiesOf(const std::string& bundleIdentifier)
{
    auto running = platform::Workspace::shared().runningApplications();
    const std::string entry = platformRootEntry();
    std::erase_if(running, [&](const platform::RunningApplication& application) {
        return application.bundleIdentifier != bundleIdentifier || !environmentHolds(application.processIdentifier, entry);
    });
    return running;
}

} // namespace testsupport
