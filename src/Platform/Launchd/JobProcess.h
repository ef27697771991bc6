#pragma once

#include "Platform/Values/Value.h"

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
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

// Starts a process in a session of its own with its standard streams on
// /dev/null; -1 when it cannot be started (errno tells why).
pid_t spawnDetached(const std::string& executable, const std::vector<std::string>& arguments);

// Waits for a child of this process; its wait status.
int waitForChild(pid_t pid);

// Ends a job's process group: SIGTERM, then SIGKILL when it is still there after
// `grace`; reaps it. Returns its wait status.
int terminateChild(pid_t pid, std::chrono::milliseconds grace);

} // namespace platform::launchd
