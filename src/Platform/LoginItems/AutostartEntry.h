#pragma once

#include <filesystem>

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
// tool `tool`. Under a platform root other than "/" the Exec line names that root
// (and $PLATFORM_USER when set), so that the login is the one of that root. False
// when a path holds a control character, which an Exec line cannot carry, or the
// entry cannot be written.
[[nodiscard]] bool writeLoginSessionEntry(const std::filesystem::path& tool);

} // namespace platform
