#pragma once

#include <filesystem>
#include <string>

namespace platform {

// The login step's stand-in tool (LoginSession.h), among the build's stand-in tools.
inline constexpr const char* kLoginStepTool = "launchd-login";

// The freedesktop autostart entry through which every Linux desktop session runs
// the stand-ins' login step at its start (GNOME, KDE, Xfce and the others run the
// entries of that folder at each login): "launchd-login.desktop" in
// $XDG_CONFIG_HOME/autostart, or, while that names no absolute path, in
// ~/.config/autostart of the Linux user.
std::filesystem::path loginSessionEntryPath();

// Writes the entry (atomically, making its folder) so that it runs the login-step
// tool `tool`, and only while that tool is there (TryExec). Under a platform root
// other than "/" the Exec line names that root (and $PLATFORM_USER when set), so
// that the login is the one of that root. An entry that the desktop's own settings
// switched off stays off: the user's choice there is kept. False, with the reason
// in `failure`, when someone other than root and this user could change the tool or
// a folder on its way, when its path cannot be written in an entry (a control
// character, not UTF-8), or when the entry cannot be written.
[[nodiscard]] bool writeLoginSessionEntry(const std::filesystem::path& tool, std::string* failure = nullptr);

} // namespace platform
