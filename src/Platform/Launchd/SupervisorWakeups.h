#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>

namespace platform::launchd {

// What a supervisor sleeps on between its looks at its job: a change of the job's
// own record (inotify on the record file, watched anew after each replace), the
// end of the job's process (a process file descriptor) or a due time, so an idle
// job costs no wake-ups and the records of other jobs never wake it. Where the
// kernel grants no inotify watch or process descriptor, it looks again every 50 ms.
class SupervisorWakeups {
public:
    explicit SupervisorWakeups(std::filesystem::path record);
    ~SupervisorWakeups();
    SupervisorWakeups(const SupervisorWakeups&) = delete;
    SupervisorWakeups& operator=(const SupervisorWakeups&) = delete;

    // Follows the end of `child` (a child of this process) from now on; -1 for none.
    void followProcess(pid_t child);

    // Returns once the record changed, the followed process ended or `until` came
    // (or spuriously); the caller then looks again.
    void wait(std::optional<std::chrono::steady_clock::time_point> until = std::nullopt);

private:
    // Watches the file now at the record's path; false when there is none to watch.
    bool watchRecord();

    std::filesystem::path record_;
    int inotify_ = -1;
    int recordWatch_ = -1;
    int processFd_ = -1;
    bool followingProcess_ = false;
};

} // namespace platform::launchd
