#pragma once

#include "Startup/LaunchAgent.h"
#include "Startup/LoginItem.h"

#include <string>

// What became of switching a startup item on or off.
struct SwitchResult {
    enum Outcome {
        done,      // the item is in the asked state and its switched-off record follows
        ignored,   // the item has nothing to switch it by: nothing changed
        failed,    // the change did not take effect (reason says why): nothing changed
        notStored, // the record of the item switched off could not be stored: nothing changed
    };
    Outcome outcome = done;
    std::string reason;
};

// A login item: a launchd job of the user's (removed from the user's launch agents,
// its whole plist kept in its switched-off record, and written back from it, its
// service-management switch following), or an entry of the session login items (the
// agent is told of an entry switched on, so that it does not alert on it). On
// success isEnable takes the new state and the stored records follow: an item is
// switched off only once its record is stored.
SwitchResult switchStartupItem(LoginItem& item, bool on);

// A launch agent or daemon: unloaded or loaded in its domain (the domains of all users
// ask for an administrator's authorisation; loaded from its whole plist), then marked
// so with "/bin/launchctl -w".
SwitchResult switchStartupItem(LaunchAgent& agent, bool on);
