#pragma once

#include "Startup/LaunchAgent.h"
#include "Startup/LoginItem.h"

#include <vector>

// The startup items as they are now, before switched-off records are merged in.

// The session login items, then the user's launchd jobs that are login items
// (on demand, with transactions, not of the system: no "com.apple" or
// "com.openssh" in the label).
std::vector<LoginItem> loginItemSnapshot();

// The jobs of the plists in the user's and the global launch-agent folders and
// the global launch-daemon folder, in that order.
std::vector<LaunchAgent> launchAgentSnapshot();
