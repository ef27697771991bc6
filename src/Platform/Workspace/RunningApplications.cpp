#include "Platform/Workspace/Workspace.h"

#include "Platform/Bundle/Bundle.h"
#include "Platform/Root/PlatformRoot.h"
#include "Platform/Workspace/ProcessStat.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <filesystem>

namespace fs = std::filesystem;

namespace platform {

namespace {

std::optional<pid_t> processIdOf(const std::string& name)
{
    pid_t pid = 0;
    const auto [end, failure] = std::from_chars(name.data(), name.data() + name.size(), pid);
    if (failure != std::errc() || end != name.data() + name.size())
        return std::nullopt;
    return pid;
}

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

bool isOurs(const fs::path& processFolder)
{
    struct stat info {};
    return ::stat(processFolder.c_str(), &info) == 0 && info.st_uid == ::getuid();
}

// The application of one /proc entry; null for other processes.
std::optional<RunningApplication> applicationOfProcess(const fs::directory_entry& entry)
{
    const auto pid = processIdOf(entry.path().filename().string());
    if (!pid || !isOurs(entry.path()))
        return std::nullopt;
    std::error_code error;
    const std::string executable = fs::read_symlink(entry.path() / "exe", error).string();
    if (error || executable.empty())
        return std::nullopt;
    const std::string bundlePath = Bundle::bundlePathOfExecutable(executable);
    if (!bundlePath.ends_with(".app") || !isUnderPlatformRoot(bundlePath))
        return std::nullopt;
    const Bundle bundle(bundlePath);
    return RunningApplication{*pid, bundlePath, executable, bundle.bundleIdentifier(), activationPolicyOf(bundle)};
}

} // namespace

bool RunningApplication::forceTerminate() const
{
    return processIdentifier > 0 && ::kill(processIdentifier, SIGKILL) == 0;
}

std::vector<RunningApplication> Workspace::runningApplications() const
{
    std::vector<std::pair<unsigned long long, RunningApplication>> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc", error)) {
        if (auto application = applicationOfProcess(entry))
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
