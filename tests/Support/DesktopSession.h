#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// A logout and the next login, as a Linux desktop session has them, in the test's
// root and its $XDG_CONFIG_HOME.

// Ends every process started under the test's root (the test process and its
// watchman aside): SIGHUP, then SIGTERM, as a logout does; SIGKILL for what is
// still there after a few seconds. Returns once none is left.
void endSessionProcesses();

// The command of an autostart entry's Exec line, unquoted and unescaped as a
// desktop session does it; empty when the entry has none.
std::vector<std::string> execCommandOf(const std::filesystem::path& entry);

// Runs the Exec line of every entry in $XDG_CONFIG_HOME/autostart, one after another,
// each to its end, in an environment without the build's tool folder ($BG_TOOLS_DIR),
// as a session start does; the number of entries run.
int runAutostartEntries();

} // namespace testsupport
