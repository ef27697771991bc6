#include "Platform/Launchd/ServiceManagement.h"

#include "Platform/Authorization/ProcessUser.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Launchd/HelperTool.h"
#include "Platform/Launchd/JobProcess.h"
#include "Platform/Launchd/JobRegistry.h"
#include "Platform/Launchd/Supervisor.h"
#include "Platform/Root/PlatformRoot.h"
#include "Platform/Values/PropertyList.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace platform {

namespace {

using launchd::JobRecord;
using launchd::JobRegistry;

constexpr auto kRemoveTimeout = 8000ms;

bool fail(Error* error, int code, const std::string& description)
{
    if (error)
        *error = Error{kLaunchdErrorDomain, code, description};
    return false;
}

bool fail(Error* error, int code)
{
    return fail(error, code, std::strerror(code));
}

// Why the registry's folder cannot take a job: it is no folder (a link counts as
// none), the user may not write where it is or would be made, or the disk failed.
int recordingFault(const fs::path& folder)
{
    std::error_code ignored;
    const auto kind = fs::symlink_status(folder, ignored).type();
    if (kind != fs::file_type::not_found && kind != fs::file_type::directory)
        return ENOTDIR;
    fs::path existing = folder;
    while (!fs::exists(existing, ignored) && existing.has_relative_path())
        existing = existing.parent_path();
    return ::access(existing.c_str(), W_OK | X_OK) != 0 ? EACCES : EIO;
}

// The registry cannot take the job: say where, and why.
bool failToRecord(Error* error, const JobRegistry& registry)
{
    const int code = recordingFault(registry.folder());
    return fail(error, code, "Cannot record the job in \"" + registry.folder().string() + "\": " + std::strerror(code));
}

// The supervisor did not take the job on: the job is forgotten, as if never submitted.
bool failToSupervise(Error* error, const JobRegistry& registry, const std::string& label,
                     const std::string& generation, const std::error_code& why)
{
    {
        const auto guard = registry.lock();
        if (const auto record = registry.read(label); record && record->generation == generation)
            registry.erase(label);
    }
    return fail(error, why.value(),
                "Cannot start the job's supervisor \"" + launchd::supervisorToolPath().string() + "\": " +
                    why.message());
}

std::optional<std::string> labelOf(const Dictionary& job)
{
    const auto found = job.find("Label");
    if (found == job.end() || !found->second.asText())
        return std::nullopt;
    return *found->second.asText();
}

bool mayChange(LaunchdDomain domain, AuthorizationRef authorization)
{
    return domain == LaunchdDomain::User || processUserID() == 0 || AuthorizationHoldsRight(authorization);
}

std::string newGeneration()
{
    static std::atomic<unsigned> counter{0};
    const auto now = std::chrono::system_clock::now().time_since_epoch().count();
    return std::to_string(::getpid()) + "." + std::to_string(now) + "." + std::to_string(counter++);
}

// Neither being removed nor left behind by a supervisor that has ended.
bool isLoaded(const JobRecord& record)
{
    return !record.removed && !record.supervisorHasEnded();
}

bool isAlive(std::int64_t pid)
{
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

// Runs a one-shot job to its end and records how it ended.
void runToEnd(const JobRegistry& registry, const std::string& label, const JobRecord& loaded)
{
    const pid_t pid = launchd::startJobProcess(loaded.job);
    const int status = pid > 0 ? launchd::waitForChild(pid) : launchd::kUnstartedStatus;
    const auto guard = registry.lock();
    auto record = registry.read(label);
    if (record && record->generation == loaded.generation) {
        record->lastExitStatus = status;
        (void)registry.write(label, *record);
    }
}

bool waitUntilGone(const JobRegistry& registry, const std::string& label, const std::string& generation)
{
    const auto deadline = std::chrono::steady_clock::now() + kRemoveTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        const auto record = registry.read(label);
        if (!record || record->generation != generation)
            return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

// The supervisor did not answer: stop the job and forget it here.
void forceRemove(const JobRegistry& registry, const std::string& label, const std::string& generation)
{
    const auto guard = registry.lock();
    const auto record = registry.read(label);
    if (!record || record->generation != generation)
        return;
    if (record->pid && isAlive(*record->pid))
        ::kill(-static_cast<pid_t>(*record->pid), SIGKILL);
    registry.erase(label);
}

} // namespace

bool SMJobSubmit(LaunchdDomain domain, const Dictionary& job, AuthorizationRef authorization, Error* error)
{
    const auto label = labelOf(job);
    if (!label || !JobRegistry::isUsableLabel(*label) || !launchd::commandOfJob(job))
        return fail(error, EINVAL);
    const auto credentials = launchd::credentialsOfJob(job);
    if (const auto* problem = std::get_if<std::string>(&credentials))
        return fail(error, EINVAL, *problem);
    if (!mayChange(domain, authorization))
        return fail(error, EPERM);
    const JobRegistry registry = JobRegistry::forDomain(domain);
    JobRecord record;
    record.job = job;
    record.generation = newGeneration();
    {
        const auto guard = registry.lock();
        if (const auto loaded = registry.read(*label); loaded && isLoaded(*loaded))
            return fail(error, EEXIST);
        if (!registry.write(*label, record))
            return failToRecord(error, registry);
    }
    if (launchd::isOneShotJob(job))
        runToEnd(registry, *label, record);
    else if (launchd::runsAtLoad(job))
        if (const auto failure = launchd::startSupervisor(registry, *label, record.generation))
            return failToSupervise(error, registry, *label, record.generation, failure);
    return true;
}

bool SMJobRemove(LaunchdDomain domain, const std::string& label, AuthorizationRef authorization, bool wait,
                 Error* error)
{
    if (!mayChange(domain, authorization))
        return fail(error, EPERM);
    const JobRegistry registry = JobRegistry::forDomain(domain);
    std::string generation;
    {
        const auto guard = registry.lock();
        auto record = registry.read(label);
        if (!record || record->removed)
            return fail(error, ESRCH);
        // Without waiting the job is gone at once; its supervisor stops the process.
        if (!wait || !record->supervisorPid || record->supervisorHasEnded()) {
            registry.erase(label);
            return true;
        }
        record->removed = true;
        generation = record->generation;
        if (!registry.write(label, *record))
            return fail(error, EIO);
    }
    if (!waitUntilGone(registry, label, generation))
        forceRemove(registry, label, generation);
    return true;
}

std::optional<Dictionary> SMJobCopyDictionary(LaunchdDomain domain, const std::string& label)
{
    const auto record = JobRegistry::forDomain(domain).read(label);
    if (!record || !isLoaded(*record))
        return std::nullopt;
    Dictionary dictionary = record->job;
    dictionary["LastExitStatus"] = static_cast<long long>(record->lastExitStatus);
    if (record->pid)
        dictionary["PID"] = static_cast<long long>(*record->pid);
    return dictionary;
}

Array SMCopyAllJobDictionaries(LaunchdDomain domain)
{
    Array dictionaries;
    for (const auto& label : JobRegistry::forDomain(domain).labels())
        if (auto dictionary = SMJobCopyDictionary(domain, label))
            dictionaries.emplace_back(std::move(*dictionary));
    return dictionaries;
}

bool SMJobBless(LaunchdDomain domain, const std::string& label, AuthorizationRef authorization, Error* error)
{
    if (domain != LaunchdDomain::System || !JobRegistry::isUsableLabel(label))
        return fail(error, EINVAL);
    if (!AuthorizationHoldsRight(authorization, "com.apple.ServiceManagement.blesshelper"))
        return fail(error, EPERM);
    const fs::path source = fs::path(Bundle::main().bundlePath()) / "Contents/Library/LaunchServices" / label;
    const fs::path toolFolder(hostPath("/Library/PrivilegedHelperTools"));
    const fs::path installed = toolFolder / label;
    std::error_code failure;
    fs::create_directories(toolFolder, failure);
    fs::copy_file(source, installed, fs::copy_options::overwrite_existing, failure);
    if (failure)
        return fail(error, ENOENT);
    for (const char* sidecar : {"-Info.plist", "-Launchd.plist"}) {
        std::error_code ignored;
        fs::copy_file(source.string() + sidecar, installed.string() + sidecar, fs::copy_options::overwrite_existing,
                      ignored);
    }
    Dictionary job = launchdDictionaryOfHelperTool(installed.string()).value_or(Dictionary{});
    job["Label"] = label;
    job["ProgramArguments"] = Array{installed.string()};
    job.erase("Program");
    const fs::path plist = fs::path(hostPath("/Library/LaunchDaemons")) / (label + ".plist");
    fs::create_directories(plist.parent_path(), failure);
    if (!writePropertyListFile(plist.string(), job))
        return fail(error, EIO);
    return SMJobSubmit(domain, job, authorization, error);
}

} // namespace platform
