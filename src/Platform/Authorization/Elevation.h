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

// What the elevation tool's own ends mean, from the wait status of the command it
// ran: its password dialog dismissed (exit status 126) or the password not accepted
// (127, also when it could not authorise at all); none for any other end, which is
// the command's own.
std::optional<std::string> elevationRefusalText(int waitStatus);

// The reason a tool gave for its failure in what it wrote on its standard error: of
// its last line ("<tool>: [<subject>: ]<reason>"), the text after the last ": ", or
// the whole line when it has none.
std::string reasonOfToolOutput(std::string output);

// Runs `command` through the elevation tool only (never with the user's own rights),
// `input` on its standard input, and waits for it. None when it ended with status 0;
// else why not: elevationRefusalText() where the elevation tool refused, else the
// reason the command wrote on its standard error (reasonOfToolOutput()), or administratorRightsNeededText() when there is no way to raise it.
std::optional<std::string> runWithAdministratorRights(std::vector<std::string> command,
                                                      std::string_view input = {});

} // namespace platform
