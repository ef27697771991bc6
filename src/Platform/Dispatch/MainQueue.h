#pragma once

#include "Platform/Dispatch/Dispatch.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace platform::dispatch::detail {

// Blocks the calling thread until a task joins the main queue, `until` passes
// or the queue changes; used by the test run loop.
void waitForMainQueueWork(std::chrono::steady_clock::time_point until);

} // namespace platform::dispatch::detail
