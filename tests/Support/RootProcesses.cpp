#include "RootProcesses.h"

#include "Platform/Workspace/ProcessList.h"
#include "Platform/Workspace/Workspace.h"
#include "TestRoot.h"

#include <chrono>
#include <thread>

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

void waitForExec(pid_t pid)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (pid > 0 && std::chrono::steady_clock::now() < deadline) {
        const auto commandLine = platform::processCommandLine(pid);
        if (!commandLine || !commandLine->empty())
            return; // ended, or running its program
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
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
