#include "Platform/Launchd/Supervisor.h"

#include "Platform/Launchd/JobProcess.h"
#include "Platform/Launchd/SupervisorWakeups.h"
#include "Platform/Tools/ToolPaths.h"
#include "Platform/Workspace/ProcessStat.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace platform::launchd {

fs::path supervisorToolPath()
{
    return standInToolPath("launchd-supervisor");
}

namespace {

constexpr auto kStopGrace = 5000ms;
constexpr auto kStartWait = 10000ms; // a slow start under load is no failure

class Supervision {
public:
    Supervision(const JobRegistry& registry, std::string label, std::string generation)
        : registry_(registry), label_(std::move(label)), generation_(std::move(generation)),
          wakeups_(registry.recordPath(label_))
    {
    }

    // A start that fails counts as a run that ended at once with kUnstartedStatus:
    // under KeepAlive it is tried again after the restart delay.
    void run()
    {
        takeJobOn();
        while (auto job = jobToStart()) {
            waitOutThrottle(*job);
            if (!stillWanted())
                break;
            startFailed_ = !start(*job);
            const int status = startFailed_ ? kUnstartedStatus : watch();
            if (!stillWanted() || !restartsAfter(*job, status))
                break;
        }
        finish();
    }

private:
    // Names this supervisor in the record before the job's process is first started:
    // the job is listed as loaded from before that process can be seen, however long
    // the record's write of its PID takes.
    void takeJobOn()
    {
        record([](JobRecord& record) {
            record.supervisorPid = ::getpid();
            if (const auto startTime = runningProcessStartTime(::getpid()))
                record.supervisorStartTime = static_cast<std::int64_t>(*startTime);
        });
    }

    // The job's dictionary while its loading is current and not removed.
    std::optional<Dictionary> jobToStart() const
    {
        const auto record = registry_.read(label_);
        if (!record || record->generation != generation_ || record->removed)
            return std::nullopt;
        return record->job;
    }

    bool stillWanted() const { return jobToStart().has_value(); }

    void waitOutThrottle(const Dictionary& job)
    {
        if (!lastStart_)
            return;
        const auto due = *lastStart_ + restartDelay(job, startFailed_);
        while (std::chrono::steady_clock::now() < due && stillWanted())
            wakeups_.wait(due);
    }

    bool start(const Dictionary& job)
    {
        const auto guard = registry_.lock();
        auto record = registry_.read(label_);
        if (!record || record->generation != generation_ || record->removed)
            return false;
        child_ = startJobProcess(job);
        lastStart_ = std::chrono::steady_clock::now();
        record->pid = child_ > 0 ? std::optional<std::int64_t>(child_) : std::nullopt;
        if (child_ <= 0)
            record->lastExitStatus = kUnstartedStatus;
        (void)registry_.write(label_, *record);
        return child_ > 0;
    }

    // Waits for the job's process to end, or stops it when the job goes away.
    int watch()
    {
        wakeups_.followProcess(child_);
        int status = 0;
        for (;;) {
            const pid_t ended = ::waitpid(child_, &status, WNOHANG);
            if (ended == child_)
                break;
            if (ended < 0 && errno != EINTR)
                break;
            if (!stillWanted()) {
                status = terminateChild(child_, kStopGrace);
                break;
            }
            wakeups_.wait();
        }
        wakeups_.followProcess(-1);
        child_ = -1;
        record([status](JobRecord& record) {
            record.pid.reset();
            record.lastExitStatus = status;
        });
        return status;
    }

    // Leaves the record as launchd would: a removed job disappears, a loaded one
    // stays registered without a process.
    void finish()
    {
        const auto guard = registry_.lock();
        auto record = registry_.read(label_);
        if (!record || record->generation != generation_)
            return;
        if (record->removed) {
            registry_.erase(label_);
            return;
        }
        record->supervisorPid.reset();
        record->supervisorStartTime.reset();
        record->pid.reset();
        record->supervisorFinished = true;
        (void)registry_.write(label_, *record);
    }

    template <typename Change>
    void record(Change change)
    {
        const auto guard = registry_.lock();
        auto current = registry_.read(label_);
        if (!current || current->generation != generation_)
            return;
        change(*current);
        (void)registry_.write(label_, *current);
    }

    const JobRegistry& registry_;
    std::string label_;
    std::string generation_;
    // Watches the job's record from before the first look at it, so no change is missed.
    SupervisorWakeups wakeups_;
    pid_t child_ = -1;
    bool startFailed_ = false;
    std::optional<std::chrono::steady_clock::time_point> lastStart_;
};

} // namespace

int superviseJob(const JobRegistry& registry, const std::string& label, const std::string& generation)
{
    // The job's tools are looked up where this program was started from, also once
    // an update has replaced the bundle that holds them (and where it is now, once
    // that bundle has moved).
    (void)standInToolFolder();
    // Detach: the submitter reaps the parent at once; the supervisor lives on.
    const pid_t child = ::fork();
    if (child != 0)
        return child > 0 ? 0 : 1;
    Supervision(registry, label, generation).run();
    return 0;
}

std::error_code startSupervisor(const JobRegistry& registry, const std::string& label, const std::string& generation)
{
    const std::string tool = supervisorToolPath().string();
    const pid_t pid = spawnDetached(tool, {tool, registry.folder().string(), label, generation});
    if (pid <= 0)
        return {errno, std::system_category()};
    const int status = waitForChild(pid);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::make_error_code(std::errc::resource_unavailable_try_again);
    const auto deadline = std::chrono::steady_clock::now() + kStartWait;
    while (std::chrono::steady_clock::now() < deadline) {
        const auto record = registry.read(label);
        if (!record || record->generation != generation || record->supervisorPid || record->supervisorFinished)
            return {};
        std::this_thread::sleep_for(5ms);
    }
    return std::make_error_code(std::errc::timed_out);
}

} // namespace platform::launchd
