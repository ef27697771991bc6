#pragma once

#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace platform {

// The fields of /proc/<pid>/stat that follow the command name: [0] is the state
// ("Z" for a zombie), [19] the start time in clock ticks after boot. Empty when the
// process is gone.
std::vector<std::string> processStatFields(pid_t pid);

// The process's start time in clock ticks after boot; with its PID it names one
// process, where the PID alone may since have been given to another. Null when the
// process is gone or has ended (a zombie).
std::optional<unsigned long long> runningProcessStartTime(pid_t pid);

} // namespace platform
