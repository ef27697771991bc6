#pragma once

#include <optional>
#include <string>

namespace platform {

// SCDynamicStoreCopyConsoleUser: the user logged in at the console. The login
// name, unless the platform root says otherwise (see setConsoleUser).
std::optional<std::string> consoleUser();

// Records, under the platform root, who is at the console for every process of
// the root: a name ("loginwindow" at the login screen) or none.
void setConsoleUser(const std::optional<std::string>& user);
// Back to the login name.
void resetConsoleUser();

} // namespace platform
