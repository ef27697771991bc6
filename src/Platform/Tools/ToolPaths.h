#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace platform {

// Maps the path of a macOS command-line tool to the program that does its job
// here: the host's tool of the same role ("/usr/sbin/chown" is "/usr/bin/chown"),
// or one of the build's stand-in executables ("/bin/launchctl", "/usr/bin/open",
// "/usr/sbin/system_profiler"), looked up in standInToolFolder(). Paths not in
// the table come back unchanged.
std::string resolveToolPath(const std::string& macPath);

// The folder of the stand-in executables: $BG_TOOLS_DIR when set, else the folder
// the running executable was started from (taken at the first call, so that it
// still names the installed bundle after an update has replaced it).
std::filesystem::path standInToolFolder();

// The host's tool that runs a command as the administrator once the desktop has
// asked for an administrator's password: "pkexec" on $PATH, else /usr/bin/pkexec;
// nullopt where the system has neither.
std::optional<std::string> elevationToolPath();

} // namespace platform
