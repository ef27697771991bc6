#include "Screens/Common/ThrottledRepaint.h"

#include "Platform/Dispatch/Dispatch.h"

using Clock = std::chrono::steady_clock;

struct ThrottledRepaint::State {
    std::function<void()> paint;
    Clock::time_point lastPaint{};
    bool waiting = false;   // a change not painted yet
    bool scheduled = false; // a repaint at the end of the interval is on the main queue

    void paintNow()
    {
        waiting = false;
        lastPaint = Clock::now();
        paint();
    }
};

ThrottledRepaint::ThrottledRepaint(std::function<void()> paint) : state_(std::make_shared<State>())
{
    state_->paint = std::move(paint);
}

ThrottledRepaint::~ThrottledRepaint() = default;

void ThrottledRepaint::changed()
{
    State& state = *state_;
    state.waiting = true;
    const auto due = state.lastPaint + interval;
    const auto now = Clock::now();
    if (now >= due) {
        state.paintNow();
        return;
    }
    if (state.scheduled)
        return;
    state.scheduled = true;
    platform::dispatch::asyncAfter(due - now, [weak = std::weak_ptr<State>(state_)] {
        const auto state = weak.lock();
        if (!state)
            return;
        state->scheduled = false;
        if (state->waiting)
            state->paintNow();
    });
}

void ThrottledRepaint::flush()
{
    if (state_->waiting)
        state_->paintNow();
}
