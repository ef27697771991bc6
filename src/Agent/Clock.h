#pragma once

#include "Platform/Values/Value.h"

#include <chrono>
#include <functional>

// Where the triage reads the current time: the system clock, or a test's own.
using Clock = std::function<platform::Date()>;
inline const Clock systemClock = [] { return std::chrono::system_clock::now(); };
