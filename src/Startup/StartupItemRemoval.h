#pragma once

#include "Startup/LaunchAgent.h"
#include "Startup/LoginItem.h"

// What became of one selected record in a removal.
enum class RemovalOutcome {
    removed,
    notRemoved, // stays in the list
    passedOver, // nothing to remove it from: counted neither way, leaves the list
};

// A launch agent: its job and its plist, through the launchd library, in its domain.
// An item already gone (no plist, no loaded job) counts as removed.
RemovalOutcome removeStartupItem(const LaunchAgent& agent);

// A login item: a launchd job of the user's (its service-management switch off
// first; one already gone counts as removed), or a session login item; its
// switched-off record goes in either case.
RemovalOutcome removeStartupItem(const LoginItem& item);
