#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// A logout and the next login, as a Linux desktop session has them, in the test's
// root and its $XDG_CONFIG_HOME (or, where that is unset, ~/.config of $HOME).

// Ends every process started under the test's root (the test process and its
// watchman aside): SIGHUP, then SIGTERM, as a logout does; SIGKILL for what is
// still there after a few seconds. Returns once none is left.
void endSessionProcesses();

// The session's autostart folder: $XDG_CONFIG_HOME/autostart, or, while that names
// no absolute path, $HOME/.config/autostart.
std::filesystem::path autostartFolder();

// The command of an autostart entry's Exec line, unquoted and unescaped as a
// desktop session does it; empty when the entry has none.
std::vector<std::string> execCommandOf(const std::filesystem::path& entry);

// Starts the session: dex, the freedesktop autostart runner, chooses the entries of
// the autostart folder to run, as the freedesktop Autostart rules say (none that is
// Hidden, none whose TryExec program is missing, none shown only in other desktops);
// each one's Exec line is run in turn, to its end, with the rights of the calling
// thread, in an environment without the build's tool folder ($BG_TOOLS_DIR). The
// number run.
int runAutostartEntries();

// While it lives, the desktop session is the one of a Linux user who is not root
// (uid 65534), as a login gives it: others may enter the root, as "/"; the user's
// home in the root and a Linux home of the user's ($HOME) are the user's, and
// $XDG_CONFIG_HOME is unset, so the autostart folder is ~/.config/autostart there.
// Its end is a logout: every process of the root ends. isSet() is false where that
// cannot be had (not root).
class UnprivilegedSession {
public:
    UnprivilegedSession();
    ~UnprivilegedSession();
    UnprivilegedSession(const UnprivilegedSession&) = delete;
    UnprivilegedSession& operator=(const UnprivilegedSession&) = delete;

    bool isSet() const { return set_; }

    // The command that runs a program as the user, in this session's environment.
    std::vector<std::string> asUser() const;

    // The user that a running process runs as.
    static uid_t userOf(pid_t pid);

private:
    bool set_ = false;
    std::string homeBefore_;
    std::string configBefore_;
};

} // namespace testsupport
