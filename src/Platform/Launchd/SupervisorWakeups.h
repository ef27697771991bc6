#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>

namespace platform::launchd {

// What a supervisor sleeps on between its looks at its job: a change in the
// registry folder (inotify), the end of the job's process (a process file
// descriptor) or a due time, so an idle job costs no wake-ups. Where the kernel
// grants no inotify instance or process descriptor, it looks again every 50 ms.
class SupervisorWakeups {
public:
    explicit SupervisorWakeups(const std::filesystem::path& registryFolder);
    ~SupervisorWakeups();
    SupervisorWakeups(const SupervisorWakeups&) = delete;
    SupervisorWakeups& operator=(const SupervisorWakeups&) = delete;

    // Follows the end of `child` (a child of this process) from now on; -1 for none.
    void followProcess(pid_t child);

    // Returns once the registry folder changed, the followed process ended or
    // `until` came (or spuriously); the caller then looks again.
    void wait(std::optional<std::chrono::steady_clock::time_point> until = std::nullopt);

private:
    int registryWatch_ = -1;
    int processFd_ = -1;
    bool followingProcess_ = false;
};

} // namespace platform::launchd
