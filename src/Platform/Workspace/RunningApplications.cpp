#include "Platform/Workspace/Workspace.h"

#include "Platform/Bundle/Bundle.h"
#include "Platform/Root/PlatformRoot.h"
#include "Platform/Workspace/ProcessList.h"
#include "Platform/Workspace/ProcessStat.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace platform {

namespace {

bool isTrue(const Value* value)
{
    if (!value)
        return false;
    if (const bool* flag = value->asBoolean())
        return *flag;
    if (const auto* number = value->asInteger())
        return *number != 0;
    if (const std::string* text = value->asText())
        return *text == "1" || *text == "YES" || *text == "true";
    return false;
}

ApplicationActivationPolicy activationPolicyOf(const Bundle& bundle)
{
    if (isTrue(bundle.objectForInfoDictionaryKey("LSBackgroundOnly")))
        return ApplicationActivationPolicy::Prohibited;
    if (isTrue(bundle.objectForInfoDictionaryKey("LSUIElement")))
        return ApplicationActivationPolicy::Accessory;
    return ApplicationActivationPolicy::Regular;
}

// The bundle's own executable, also once replaced on disk (the kernel then names it
// "<path> (deleted)"); the tools beside it in Contents/MacOS are no application.
bool isMainExecutable(const std::string& executable, const Bundle& bundle)
{
    const std::string main = bundle.executablePath();
    return main.empty() || executable == main || executable == main + " (deleted)";
}

bool isOurs(pid_t pid)
{
    struct stat info {};
    return ::stat(("/proc/" + std::to_string(pid)).c_str(), &info) == 0 && info.st_uid == ::getuid();
}

// The application a process runs; null for other processes and for one that has gone.
std::optional<RunningApplication> applicationOfProcess(pid_t pid)
{
    if (!isOurs(pid))
        return std::nullopt;
    const auto executable = processExecutable(pid);
    if (!executable)
        return std::nullopt;
    const std::string bundlePath = Bundle::bundlePathOfExecutable(*executable);
    if (!bundlePath.ends_with(".app") || !isUnderPlatformRoot(bundlePath))
        return std::nullopt;
    const Bundle bundle(bundlePath);
    if (!isMainExecutable(*executable, bundle))
        return std::nullopt;
    return RunningApplication{pid, bundlePath, *executable, bundle.bundleIdentifier(), activationPolicyOf(bundle)};
}

} // namespace

bool RunningApplication::forceTerminate() const
{
    return processIdentifier > 0 && ::kill(processIdentifier, SIGKILL) == 0;
}

std::vector<RunningApplication> Workspace::runningApplications() const
{
    std::vector<std::pair<unsigned long long, RunningApplication>> found;
    for (const pid_t pid : listedProcesses()) {
        if (auto application = applicationOfProcess(pid))
            found.emplace_back(runningProcessStartTime(application->processIdentifier).value_or(0),
                               std::move(*application));
    }
    std::ranges::stable_sort(found, [](const auto& a, const auto& b) {
        return std::tie(a.first, a.second.processIdentifier) < std::tie(b.first, b.second.processIdentifier);
    });
    std::vector<RunningApplication> applications;
    for (auto& [start, application] : found)
        applications.push_back(std::move(application));
    return applications;
}

} // namespace platform
