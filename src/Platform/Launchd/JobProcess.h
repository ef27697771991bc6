#pragma once

#include "Platform/Values/Value.h"

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace platform::launchd {

// What a job dictionary runs: "Program" when present, else the first element of
// "ProgramArguments"; the arguments are "ProgramArguments" (or the program
// alone). The program's macOS tool path is mapped through the tool table; a
// stand-in tool this program's bundle no longer holds is taken from a bundle the
// arguments name.
struct JobCommand {
    std::string executable;
    std::vector<std::string> arguments;
};
std::optional<JobCommand> commandOfJob(const Dictionary& job);

// A Boolean entry that is there and true.
bool isTrue(const Value* value);

bool isOneShotJob(const Dictionary& job);   // LaunchOnlyOnce with RunAtLoad
bool runsAtLoad(const Dictionary& job);     // RunAtLoad, KeepAlive true, or KeepAlive's SuccessfulExit
bool restartsAfter(const Dictionary& job, int waitStatus); // the KeepAlive rule
std::chrono::seconds throttleInterval(const Dictionary& job);

// The wait status of a run whose program could not be started, as a shell reports it.
inline constexpr int kUnstartedStatus = 127 << 8;

// How long after a start the job may be started again: its throttle interval, and
// no less than launchd's default 10 s after a start that failed, so that a job
// whose program is missing does not spin however small its interval.
std::chrono::seconds restartDelay(const Dictionary& job, bool startFailed);

// Who a job's process runs as, taken before it execs: UserName's uid, GroupName's
// gid (else the user's primary group), and the user's groups with InitGroups (else
// that gid alone). Empty for a job that names neither: it runs as launchd does.
struct JobCredentials {
    std::optional<uid_t> uid;
    std::optional<gid_t> gid;
    std::optional<std::vector<gid_t>> groups;
};

// The job's credentials, or why it cannot run (a name that names no user or group).
std::variant<JobCredentials, std::string> credentialsOfJob(const Dictionary& job);

// Whether the job's process would run as root when launchd (root) starts it.
bool runsAsRoot(const JobCredentials& credentials);

// Starts a process in a session of its own with its standard streams on
// /dev/null; -1 when it cannot be started (errno tells why). A process of root's
// gives it `credentials` first, as the system's launchd does; a user's process,
// like the per-user launchd, cannot and starts it as itself.
pid_t spawnDetached(const std::string& executable, const std::vector<std::string>& arguments,
                    const JobCredentials& credentials = {});

// Starts the job's program (commandOfJob) detached, as its credentials say; -1
// when it has nothing to run, names no user or group, or cannot be started.
pid_t startJobProcess(const Dictionary& job);

// Waits for a child of this process; its wait status.
int waitForChild(pid_t pid);

// Ends a job's process group: SIGTERM, then SIGKILL when it is still there after
// `grace`; reaps it. Returns its wait status.
int terminateChild(pid_t pid, std::chrono::milliseconds grace);

} // namespace platform::launchd
