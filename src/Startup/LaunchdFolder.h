#pragma once

#include "Helper/LDLaunchCtl/LDLaunchDomain.h"

#include <optional>
#include <string>

// The folder of a launchd domain (a host path ending in "/"): the user's launch
// agents for 1, the global and system folders for 2 to 5; nothing for an absent
// domain or any other value.
std::optional<std::string> launchdFolder(std::optional<LDLaunchDomain> domain);
