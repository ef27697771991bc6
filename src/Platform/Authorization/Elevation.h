#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The command line for a step that the user's own rights cannot do: `command` (an
// absolute tool path and its arguments) run through the elevation tool, which asks
// for an administrator's password, where the system has one (elevationToolPath())
// and nobody but root can change the tool the command runs (onlyRootCanChange() of
// its real path, which the command then names); else `command` itself, run with the
// user's rights, whose failure the caller sees.
std::vector<std::string> commandWithAdministratorRights(std::vector<std::string> command);

// The text of a step refused because it needs an administrator's rights that this
// system cannot ask for (no elevation tool, or a tool that is not root's alone).
std::string administratorRightsNeededText();

// Runs `command` through the elevation tool only (never with the user's own rights),
// `input` on its standard input, and waits for it. None when it ended with status 0;
// else why not: the tool's own last line on its standard error, or
// administratorRightsNeededText() when there is no way to raise it.
std::optional<std::string> runWithAdministratorRights(std::vector<std::string> command,
                                                      std::string_view input = {});

} // namespace platform
