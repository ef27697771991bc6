#pragma once

#include <optional>
#include <string>

namespace platform {

// Maps the path of a macOS command-line tool to the program that does its job
// here: the host's tool of the same role ("/usr/sbin/chown" is "/usr/bin/chown"),
// or one of the build's stand-in executables ("/bin/launchctl", "/usr/bin/open",
// "/usr/sbin/system_profiler"), looked up in $BG_TOOLS_DIR when set, else in the
// folder of the running executable. Paths not in the table come back unchanged.
std::string resolveToolPath(const std::string& macPath);

// The host's tool that runs a command as the administrator once the desktop has
// asked for an administrator's password: "pkexec" on $PATH, else /usr/bin/pkexec;
// nullopt where the system has neither.
std::optional<std::string> elevationToolPath();

} // namespace platform
