#include "RootProcesses.h"

#include "Platform/Workspace/ProcessList.h"
#include "Platform/Workspace/Workspace.h"
#include "TestRoot.h"

#include <chrono>
#include <set>
#include <sstream>
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

namespace {

pid_t parentOf(pid_t pid)
{
    // "pid (name) state ppid ...": the name may hold spaces and parentheses.
    const auto stat = platform::readProcessFile(pid, "stat");
    const auto nameEnd = stat ? stat->rfind(')') : std::string::npos;
    if (nameEnd == std::string::npos)
        return 0;
    std::istringstream fields(stat->substr(nameEnd + 1));
    char state = 0;
    pid_t parent = 0;
    fields >> state >> parent;
    return parent;
}

} // namespace

std::vector<platform::RunningApplication> runningCopiesOf(const std::string& bundleIdentifier)
{
    auto running = platform::Workspace::shared().runningApplications();
    const std::string entry = platformRootEntry();
    std::erase_if(running, [&](const platform::RunningApplication& application) {
        return application.bundleIdentifier != bundleIdentifier || !environmentHolds(application.processIdentifier, entry);
    });
    // A copy's child between its fork and the exec of the tool it runs still shows the
    // copy's executable: it is no copy of its own.
    std::set<pid_t> copies;
    for (const auto& application : running)
        copies.insert(application.processIdentifier);
    std::erase_if(running, [&](const platform::RunningApplication& application) {
        return copies.contains(parentOf(application.processIdentifier));
    });
    return running;
}

} // namespace testsupport
