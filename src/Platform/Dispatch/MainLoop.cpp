#include "Platform/Dispatch/MainQueue.h"

namespace platform::dispatch {

namespace {

// A condition may also turn true through a worker thread that queues nothing
// on the main queue; the loop looks at it again at least this often.
constexpr auto kConditionRecheck = std::chrono::milliseconds(10);

} // namespace

bool runMainLoopUntil(const std::function<bool()>& done, Duration timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        drainMainQueue();
        if (done())
            return true;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return false;
        detail::waitForMainQueueWork(std::min(deadline, now + kConditionRecheck));
    }
}

void runMainLoopFor(Duration time)
{
    runMainLoopUntil([] { return false; }, time);
}

} // namespace platform::dispatch
