#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace platform {

// What /proc tells of the machine's processes. A process may end at any moment,
// between the listing and a read or during one: a read of a process that has gone
// answers null, and nothing here throws.

// The PIDs /proc lists now, in its order.
std::vector<pid_t> listedProcesses();

// The whole of /proc/<pid>/<name> ("stat", "cmdline", "environ", ...); null when
// the process has gone or the file cannot be read.
std::optional<std::string> readProcessFile(pid_t pid, const std::string& name);

// The process's arguments; null when it has gone (empty for a zombie).
std::optional<std::vector<std::string>> processCommandLine(pid_t pid);

// The file the process runs; null when it has gone or is not ours to look at.
std::optional<std::string> processExecutable(pid_t pid);

// Whether this process runs the file now at `path`: false once that file has been
// replaced or removed since the process started from it.
bool runsTheFileAt(const std::string& path);

} // namespace platform
