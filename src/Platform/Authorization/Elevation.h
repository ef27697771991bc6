#pragma once

#include <string>
#include <vector>

namespace platform {

// The command line for a step that the user's own rights cannot do: `command` (an
// absolute tool path and its arguments) run through the elevation tool, which asks
// for an administrator's password, where the system has one (elevationToolPath())
// and nobody but root can change the tool the command runs (onlyRootCanChange() of
// its real path, which the command then names); else `command` itself, run with the
// user's rights, whose failure the caller sees.
std::vector<std::string> commandWithAdministratorRights(std::vector<std::string> command);

} // namespace platform
