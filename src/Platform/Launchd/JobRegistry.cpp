#include "Platform/Launchd/JobRegistry.h"

#include "Platform/Launchd/JobProcess.h"
#include "Platform/Root/PlatformRoot.h"
#include "Platform/Values/PropertyList.h"
#include "Platform/Workspace/ProcessStat.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>

namespace fs = std::filesystem;

namespace platform::launchd {

namespace {

constexpr const char* kRecordExtension = ".job";

Value optionalInteger(const std::optional<std::int64_t>& value)
{
    return value ? Value(static_cast<long long>(*value)) : Value();
}

std::optional<std::int64_t> integerEntry(const Dictionary& dictionary, const char* key)
{
    const auto found = dictionary.find(key);
    if (found == dictionary.end() || !found->second.asInteger())
        return std::nullopt;
    return *found->second.asInteger();
}

Dictionary encode(const JobRecord& record)
{
    Dictionary encoded{{"Job", record.job},
                       {"Generation", record.generation},
                       {"LastExitStatus", static_cast<long long>(record.lastExitStatus)},
                       {"Removed", record.removed}};
    if (record.supervisorFinished)
        encoded.emplace("SupervisorFinished", true);
    for (const auto& [key, value] : {std::pair{"PID", optionalInteger(record.pid)},
                                     std::pair{"SupervisorPID", optionalInteger(record.supervisorPid)},
                                     std::pair{"SupervisorStartTime", optionalInteger(record.supervisorStartTime)}})
        if (!value.isNull())
            encoded.emplace(key, value);
    return encoded;
}

std::optional<JobRecord> decode(const Value& value)
{
    const Dictionary* dictionary = value.asDictionary();
    const Value* job = value.find("Job");
    if (!dictionary || !job || !job->asDictionary())
        return std::nullopt;
    JobRecord record;
    record.job = *job->asDictionary();
    if (const Value* generation = value.find("Generation"); generation && generation->asText())
        record.generation = *generation->asText();
    record.pid = integerEntry(*dictionary, "PID");
    record.lastExitStatus = integerEntry(*dictionary, "LastExitStatus").value_or(0);
    record.supervisorPid = integerEntry(*dictionary, "SupervisorPID");
    record.supervisorStartTime = integerEntry(*dictionary, "SupervisorStartTime");
    record.removed = isTrue(value.find("Removed"));
    record.supervisorFinished = isTrue(value.find("SupervisorFinished"));
    return record;
}

fs::path overridesPath(const fs::path& folder)
{
    return folder / "overrides.plist";
}

} // namespace

bool JobRecord::supervisorHasEnded() const
{
    if (!supervisorPid)
        return runsAtLoad(job) && !isOneShotJob(job) && !supervisorFinished;
    const auto startTime = runningProcessStartTime(static_cast<pid_t>(*supervisorPid));
    return !startTime || !supervisorStartTime || static_cast<std::int64_t>(*startTime) != *supervisorStartTime;
}

bool JobRecord::processRuns() const
{
    return pid && runningProcessStartTime(static_cast<pid_t>(*pid));
}

bool JobRecord::isLoadedWithNothingRunning() const
{
    return !removed && !supervisorPid && !supervisorHasEnded() && !processRuns();
}

bool JobRecord::lastStartFailedWithNothingRunning() const
{
    return lastExitStatus == kUnstartedStatus && !processRuns();
}

std::optional<fs::path> JobRecord::runningSupervisorExecutable() const
{
    if (!supervisorPid || supervisorHasEnded())
        return std::nullopt;
    std::error_code error;
    auto executable = fs::read_symlink("/proc/" + std::to_string(*supervisorPid) + "/exe", error);
    // Read again: the PID must still name the supervisor the link was read from.
    if (error || supervisorHasEnded())
        return std::nullopt;
    return executable;
}

fs::path launchdStateFolder()
{
    return hostPath("/private/var/db/launchd");
}

// The system domain's jobs are root's, in the root-only state folder; the user's
// domain runs with the user's rights and keeps its jobs in the user's own Library,
// which a user who is not root can write.
JobRegistry JobRegistry::forDomain(LaunchdDomain domain)
{
    if (domain == LaunchdDomain::System)
        return JobRegistry(launchdStateFolder() / "system");
    return JobRegistry(fs::path(homeDirectory()) / "Library/Application Support/com.apple.launchd");
}

JobRegistry::Lock::Lock(const fs::path& folder)
{
    std::error_code ignored;
    fs::create_directories(folder, ignored);
    fd_ = ::open((folder / ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ >= 0)
        while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
}

JobRegistry::Lock::~Lock()
{
    if (fd_ >= 0)
        ::close(fd_); // releases the lock
}

bool JobRegistry::isUsableLabel(const std::string& label)
{
    const auto isControl = [](unsigned char c) { return c < 0x20 || c == 0x7F; };
    return !label.empty() && label.size() <= 200 && label != "." && label != ".." &&
           label.find('/') == std::string::npos && label.front() != '.' && std::ranges::none_of(label, isControl);
}

fs::path JobRegistry::recordPath(const std::string& label) const
{
    return folder_ / (label + kRecordExtension);
}

std::optional<JobRecord> JobRegistry::read(const std::string& label) const
{
    if (!isUsableLabel(label))
        return std::nullopt;
    const auto value = readPropertyListFile(recordPath(label).string());
    return value ? decode(*value) : std::nullopt;
}

bool JobRegistry::write(const std::string& label, const JobRecord& record) const
{
    std::error_code ignored;
    fs::create_directories(folder_, ignored);
    return isUsableLabel(label) && writePropertyListFile(recordPath(label).string(), encode(record));
}

void JobRegistry::erase(const std::string& label) const
{
    std::error_code ignored;
    if (isUsableLabel(label))
        fs::remove(recordPath(label), ignored);
}

std::vector<std::string> JobRegistry::labels() const
{
    std::vector<std::string> labels;
    std::error_code error;
    for (fs::directory_iterator entry(folder_, error), end; !error && entry != end; entry.increment(error))
        if (entry->path().extension() == kRecordExtension && isUsableLabel(entry->path().stem().string()))
            labels.push_back(entry->path().stem().string());
    std::ranges::sort(labels);
    return labels;
}

std::optional<bool> JobRegistry::disabledOverride(const std::string& label) const
{
    const auto overrides = readPropertyListFile(overridesPath(folder_).string());
    const Value* entry = overrides ? overrides->find(label) : nullptr;
    return entry && entry->asBoolean() ? std::optional<bool>(*entry->asBoolean()) : std::nullopt;
}

void JobRegistry::setDisabledOverride(const std::string& label, bool disabled) const
{
    const auto guard = lock();
    auto overrides = readPropertyListFile(overridesPath(folder_).string()).value_or(Value(Dictionary{}));
    if (!overrides.asDictionary())
        overrides = Dictionary{};
    (*overrides.asDictionary())[label] = disabled;
    (void)writePropertyListFile(overridesPath(folder_).string(), overrides);
}

} // namespace platform::launchd
