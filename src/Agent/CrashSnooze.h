#pragma once

#include "Platform/Values/Value.h"

#include <chrono>

// Whether crash alerts are snoozed at `now` by the choice in "SnoozeForBGX" (1: 30
// minutes, 2: 60 minutes, 3: 12 hours, 4: 24 hours, counted in whole units from
// "SnoozeForDateBGX"). A choice that has run out is reset to 0; a choice outside
// 1-4, or one without its date, is no snooze and is left as it is.
bool isCrashAlertSnoozed(platform::Date now = std::chrono::system_clock::now());
