#pragma once

#include "Platform/Values/Value.h"

#include <chrono>
#include <functional>

// Where the triage reads the current time: the system clock, or a test's own.
using TriageClock = std::function<platform::Date()>;
inline const TriageClock systemClock = [] { return std::chrono::system_clock::now(); };
