#pragma once

#include <string>

namespace platform {

// Maps the path of a macOS command-line tool to the program that does its job
// here: the host's tool of the same role ("/usr/sbin/chown" is "/usr/bin/chown"),
// or one of the build's stand-in executables ("/bin/launchctl", "/usr/bin/open",
// "/usr/sbin/system_profiler"), looked up in $BG_TOOLS_DIR when set, else in the
// folder of the running executable. Paths not in the table come back unchanged.
std::string resolveToolPath(const std::string& macPath);

} // namespace platform
