#pragma once

#include "Platform/Launchd/ServiceManagement.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform::launchd {

// What the stand-in launchd keeps of one loaded job.
struct JobRecord {
    Dictionary job;
    std::string generation;          // tells this loading from a later one of the same label
    std::optional<std::int64_t> pid; // while the job's process runs
    std::int64_t lastExitStatus = 0; // wait status of the last run
    std::optional<std::int64_t> supervisorPid;
    std::optional<std::int64_t> supervisorStartTime; // with the PID, names the supervisor's process
    bool removed = false;            // removal asked: the supervisor stops the job
    bool supervisorFinished = false; // its supervisor took the job on and is done with it

    // The job should be looked after by a supervisor that does not run: the one
    // named has ended (killed, or gone with a restart of the machine, its PID
    // perhaps given to another process), or, for a job that runs at load, none
    // ever took it on (its start failed). The job is not loaded any more, and a
    // submit of it starts it anew.
    bool supervisorHasEnded() const;

    // Loaded, yet nothing runs the job or will start it again: no supervisor looks
    // after it (the one it had is done with it) and no process of it runs.
    bool isLoadedWithNothingRunning() const;

    // The last start found no program to run, and no process of the job runs.
    bool lastStartFailedWithNothingRunning() const;

    // The executable of the supervisor named, while it runs, as the kernel names it
    // (a deleted file's path ends in " (deleted)"); null when it does not run or
    // cannot be looked at.
    std::optional<std::filesystem::path> runningSupervisorExecutable() const;

private:
    bool processRuns() const;
};

// The jobs of one launchd domain: one property-list file per label in a folder
// under the platform root. Files are replaced atomically, so a read needs no
// lock; every read-modify-write holds the domain's lock (a file lock, good
// across threads and processes).
class JobRegistry {
public:
    static JobRegistry forDomain(LaunchdDomain domain);
    explicit JobRegistry(std::filesystem::path folder) : folder_(std::move(folder)) {}

    const std::filesystem::path& folder() const { return folder_; }

    class Lock {
    public:
        explicit Lock(const std::filesystem::path& folder);
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        int fd_ = -1;
    };
    [[nodiscard]] Lock lock() const { return Lock(folder_); }

    // A label that can name a record file and one line of a job list: not empty,
    // at most 200 bytes, no "/", no leading ".", no control characters.
    static bool isUsableLabel(const std::string& label);

    std::optional<JobRecord> read(const std::string& label) const;
    bool write(const std::string& label, const JobRecord& record) const;
    void erase(const std::string& label) const;
    std::vector<std::string> labels() const; // sorted

    // launchctl's disabled overrides ("load -w" / "unload -w").
    std::optional<bool> disabledOverride(const std::string& label) const;
    void setDisabledOverride(const std::string& label, bool disabled) const;

    // The file that holds the label's record (written by an atomic replace).
    std::filesystem::path recordPath(const std::string& label) const;

private:
    std::filesystem::path folder_;
};

// The folder that holds the stand-in launchd's state of root's under the platform
// root (the system domain's jobs, the console user).
std::filesystem::path launchdStateFolder();

} // namespace platform::launchd
