#include "Platform/Dispatch/Dispatch.h"

#include <algorithm>
#include <atomic>

namespace platform::dispatch {

namespace {

using Clock = std::chrono::steady_clock;

// A shorter interval would let a timer occupy the main queue on its own.
constexpr Duration kShortestInterval = std::chrono::milliseconds(1);

struct TimerState {
    Duration interval;
    Task tick;
    std::atomic<bool> valid{true};
    Clock::time_point due;
};

void schedule(const std::shared_ptr<TimerState>& state);

void fire(const std::weak_ptr<TimerState>& weakState)
{
    // The strong reference keeps the state alive while the tick runs, even when
    // the tick destroys the timer that owns it.
    const auto state = weakState.lock();
    if (!state || !state->valid)
        return;
    state->tick();
    if (!state->valid)
        return;
    // A late tick is not made up: the next one comes an interval after it.
    state->due = std::max(state->due + state->interval, Clock::now());
    schedule(state);
}

void schedule(const std::shared_ptr<TimerState>& state)
{
    std::weak_ptr<TimerState> weakState = state;
    asyncAfter(state->due - Clock::now(), [weakState] { fire(weakState); });
}

} // namespace

struct RepeatingTimer::State : TimerState {};

RepeatingTimer::RepeatingTimer(Duration interval, Task tick)
    : state_(std::make_shared<State>())
{
    state_->interval = std::max(interval, kShortestInterval);
    state_->tick = std::move(tick);
    state_->due = Clock::now() + state_->interval;
    schedule(state_);
}

RepeatingTimer::~RepeatingTimer()
{
    invalidate();
}

void RepeatingTimer::invalidate()
{
    state_->valid = false;
}

} // namespace platform::dispatch
