#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace platform {

// Folders that may hold stand-in tools when this program's own no longer do.
using ToolFolders = std::vector<std::filesystem::path>;

// Maps the path of a macOS command-line tool to the program that does its job
// here: the host's tool of the same role ("/usr/sbin/chown" is "/usr/bin/chown"),
// or one of the build's stand-in executables ("/bin/launchctl", "/usr/bin/open",
// "/usr/sbin/system_profiler"), looked up with standInToolPath(); the privileged
// remover only in standInToolFolder(). Paths not in the table come back unchanged.
std::string resolveToolPath(const std::string& macPath, const ToolFolders& otherFolders = {});

// The build's privileged remover, by the name the tool table knows it under.
inline constexpr const char* kPrivilegedRemoveTool = "privileged-remove";

// The folder of the stand-in executables: $BG_TOOLS_DIR when set, else the folder
// the running executable was started from (taken at the first call, so that it
// still names the installed bundle after an update has replaced it).
std::filesystem::path standInToolFolder();

// The stand-in executable `tool`: in standInToolFolder(), or, once that folder has
// lost it (the bundle moved or renamed while this program runs), beside this
// program's executable where it is now, or, when neither holds it (the bundle
// deleted), in the first of `otherFolders` that does.
std::filesystem::path standInToolPath(std::string_view tool, const ToolFolders& otherFolders = {});

// The host's tool that runs a command as the administrator once the desktop has
// asked for an administrator's password: /usr/bin/pkexec, and only while it is
// root's own setuid program that nobody else can change (onlyRootCanChange); never
// one found on $PATH. Tests name a stand-in in $BG_TEST_ELEVATION_TOOL, looked at
// only under a platform root other than "/". nullopt where there is none.
std::optional<std::string> elevationToolPath();

// Whether nobody but root can change what the absolute `path` names ("/" among
// them): the file and every folder on the way belong to root, none is a link, and
// neither group nor others may write any of them, but for a sticky folder (its
// entries of root's stay root's). What runs as root is run only from such a path.
bool onlyRootCanChange(const std::string& path);

// Whether nobody but root and `user` can change what the absolute `path` names: the
// same test, with folders and the file of the user's allowed, and group write where
// the group is the user's private one (named as the user, of no other member: the
// umask 002 of such groups makes the user's folders group-writable), on the path as
// named (its links in such folders) and on the path its links lead to.
bool onlyRootAndUserCanChange(const std::string& path, uid_t user);

} // namespace platform
