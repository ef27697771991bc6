// Replacing the protection agent at each launch and keeping it running through launchd.
#include "App/AgentIdentity.h"
#include "App/AppDelegate.h"
#include "App/FileInstall.h"
#include "App/LowerCased.h"
#include "Foundation/BundlePaths.h"
#include "Foundation/InstanceLock.h"
#include "Foundation/ProcessRunner.h"
#include "Foundation/UserPaths.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Launchd/JobRegistry.h"
#include "Platform/Launchd/Supervisor.h"
#include "Platform/LoginItems/AutostartEntry.h"
#include "Platform/Root/PlatformRoot.h"
#include "Platform/Tools/ToolPaths.h"
#include "Platform/Values/PropertyList.h"
#include "Platform/Workspace/ApplicationRegister.h"
#include "Platform/Workspace/ProcessStat.h"
#include "Platform/Workspace/Workspace.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// How long the launch waits for a force-quit agent to be gone before replacing it.
constexpr auto agentExitWait = 5s;

void waitForExit(pid_t pid)
{
    const auto deadline = std::chrono::steady_clock::now() + agentExitWait;
    while (!processHasExited(pid) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
}

// A load that failed leaves the agent stopped until the next launch: say so in one
// line. A job still loaded from before is no failure: it restarts the agent.
void reportLoadFailure(const TaskResult& load)
{
    std::string reason = load.output.value_or("");
    while (!reason.empty() && reason.back() == '\n')
        reason.pop_back();
    if (load.status == 0 || reason.ends_with(": service already loaded"))
        return;
    std::ranges::replace(reason, '\n', ' ');
    if (reason.empty())
        reason = "launchctl ended with status " + std::to_string(load.status);
    printFailure("Unable to load the agent's launch agent: ", reason);
}

// The agent's job is loaded anew, so that a supervisor of this bundle's starts the
// agent, when the one it has would not: it is done with the job (it gave up on a
// program it could no longer start, as one of an earlier release did once an update
// had removed that release's tools); it is another bundle's or a deleted one's (the
// bundle moved, renamed or replaced by an update since it started), whose tools may
// be gone; or the job's last start found no program and nothing of it runs.
bool agentJobNeedsReload(const platform::launchd::JobRecord& record)
{
    if (record.isLoadedWithNothingRunning())
        return true;
    if (record.removed || record.supervisorHasEnded())
        return false; // the load starts the job anew
    if (record.lastStartFailedWithNothingRunning())
        return true;
    const auto supervisor = record.runningSupervisorExecutable();
    std::error_code error;
    const auto ours = fs::weakly_canonical(platform::launchd::supervisorToolPath(), error);
    return supervisor && !error && *supervisor != ours;
}

void unloadAgentJobThatWouldNotRunTheAgent(const std::string& plist)
{
    const auto record =
        platform::launchd::JobRegistry::forDomain(platform::LaunchdDomain::User).read(agentBundleIdentifier);
    if (record && agentJobNeedsReload(*record))
        (void)runTask("/bin/launchctl", {"unload", plist});
}

// The desktop session runs the login step at every login, which starts the agent
// (and opens the application when it is to launch at login). It is run from the
// installed agent's own tools, which stay wherever the application is moved and
// once it is deleted; from this bundle's while the agent's copy has none.
void installLoginStep()
{
    fs::path tool = fs::path(installedAgentPath()) / "Contents/MacOS" / platform::kLoginStepTool;
    if (::access(tool.c_str(), X_OK) != 0)
        tool = platform::standInToolPath(platform::kLoginStepTool);
    if (std::string failure; !platform::writeLoginSessionEntry(tool, &failure))
        printFailure("Unable to install the login step: ", failure);
}

std::string launchAgentFolder()
{
    return platform::hostPath("/Users/" + platform::userName() + "/Library/LaunchAgents/");
}

// Puts `incoming` in the place of `installed` in one step, exchanged with the
// installed copy (left at `incoming`); where none is installed, or the file system
// cannot exchange, whatever is there is removed first. False, said, when it fails.
bool moveIntoPlace(const fs::path& incoming, const fs::path& installed)
{
    if (::renameat2(AT_FDCWD, incoming.c_str(), AT_FDCWD, installed.c_str(), RENAME_EXCHANGE) == 0)
        return true;
    std::error_code error;
    if (fs::exists(fs::symlink_status(installed, error))) {
        fs::remove_all(installed, error);
        if (error) {
            printFailure("aGSQAP remove error: ", error.message());
            return false;
        }
    }
    fs::rename(incoming, installed, error);
    if (error)
        printFailure("aGSQAP copy error: ", error.message());
    return !error;
}

// The first running agent is force-quit, and waited for.
void forceQuitRunningAgent()
{
    for (const auto& application : platform::Workspace::shared().runningApplications()) {
        if (application.activationPolicy != platform::ApplicationActivationPolicy::Accessory)
            continue;
        const auto& identifier = application.bundleIdentifier;
        if (!identifier || lowerCased(*identifier) != agentBundleIdentifier)
            continue;
        if (application.forceTerminate())
            waitForExit(application.processIdentifier);
        return;
    }
}

} // namespace

bool processHasExited(pid_t pid)
{
    return !platform::runningProcessStartTime(pid);
}

std::string agentLaunchAgentPlistPath()
{
    return launchAgentFolder() + agentBundleIdentifier + ".plist";
}

// The running agent is force-quit, and its place held (its instance lock taken) for
// as long as the returned lock lives, while its bundle is replaced: an agent starting
// meanwhile (a login starts one beside the application) leaves at once, so none runs
// on from the copy that is removed. An agent that takes the lock first is force-quit
// in turn once the workspace lists it. When none lets go of the lock in time, the
// lock returned is not held and the launch says so.
platform::FileLock AppDelegate::stopRunningAgent()
{
    const auto deadline = std::chrono::steady_clock::now() + agentExitWait;
    for (;;) {
        forceQuitRunningAgent();
        platform::FileLock place = takeAgentInstanceLock();
        if (place.held())
            return place;
        if (std::chrono::steady_clock::now() >= deadline) {
            printFailure("Unable to stop the running agent: ", "another process holds its instance lock");
            return place;
        }
        std::this_thread::sleep_for(20ms);
    }
}

// The new agent is copied into a temporary folder beside the installed one and put
// in its place in one step, so the installed path never holds half a bundle, nor
// nothing while a bundle was installed (a login starting meanwhile finds its tools).
void AppDelegate::replaceInstalledAgent()
{
    const fs::path installed(installedAgentPath());
    std::string staging = (installed.parent_path() / ".agent.XXXXXX").string();
    if (!mkdtemp(staging.data())) {
        printFailure("aGSQAP copy error: ", std::system_category().message(errno));
        return;
    }
    const fs::path incoming = fs::path(staging) / installed.filename();
    std::error_code error;
    const std::string bundled = bundledAgentPath();
    if (bundled.empty())
        error = std::make_error_code(std::errc::no_such_file_or_directory);
    else
        fs::copy(bundled, incoming, fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
    if (error)
        printFailure("aGSQAP copy error: ", error.message());
    else
        moveIntoPlace(incoming, installed);
    std::error_code ignored;
    fs::remove_all(staging, ignored);
}

void AppDelegate::installLaunchAgent()
{
    // The agent launches the application by its bundle identifier: registered where
    // this launch ran from, it is found wherever the user keeps it.
    (void)platform::registerApplication(platform::Bundle::main().bundlePath());
    std::error_code ignored;
    fs::create_directories(launchAgentFolder(), ignored);
    const platform::Dictionary job{
        {"Label", agentBundleIdentifier},
        {"ProgramArguments", platform::Array{"/usr/bin/open", "-F", "-g", installedAgentPath()}},
        {"KeepAlive", true},
        {"RunAtLoad", true},
    };
    const std::string plist = agentLaunchAgentPlistPath();
    std::cout << (platform::writePropertyListFile(plist, job) ? "file has been created!" : "unable to create the file")
              << std::endl;
    installLoginStep();
    unloadAgentJobThatWouldNotRunTheAgent(plist);
    reportLoadFailure(runTask("/bin/launchctl", {"load", plist}));
}
