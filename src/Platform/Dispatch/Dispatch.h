#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace platform::dispatch {

using Task = std::function<void()>;
using Duration = std::chrono::steady_clock::duration;

// The main queue: tasks run in order on the main thread, when the main loop
// drains the queue (the Qt event loop in the programs, runMainLoop* in tests).
void asyncMain(Task task);

// DispatchQueue.main.asyncAfter: the task joins the main queue after `delay`.
void asyncAfter(Duration delay, Task task);

// DispatchQueue.global(): the task runs on a pool thread, concurrently with others.
void asyncGlobal(Task task);

// Runs the task at once on a thread of its own, for work that spends its time
// waiting (a transfer) and must not hold one of the global queue's threads. The
// end of the global queue counts it as one of its items.
void asyncOnOwnThread(Task task);

// Ends the global queue as the process ends, before main returns and the static
// objects that its work items use are destroyed: the items not begun are dropped,
// later ones (on the queue or on threads of their own) are never run, and the
// call returns once those under way have returned. When one still runs after a
// few seconds, the process ends at once with `status` (quick_exit), leaving every
// object in place for it. Main thread.
void finishGlobalQueue(int status);

// True when no global-queue task waits or runs, nor one on a thread of its own.
bool isGlobalQueueIdle();

// The main thread is the thread that called adoptMainThread() (the programs'
// main, the tests' main); before any call, the first thread that used the queue.
void adoptMainThread();
bool isMainThread();

// Runs every main-queue task that is due now (and those they queue); returns how
// many ran. Called on the main thread only.
int drainMainQueue();

// Time until the next delayed main-queue task is due; null when none waits.
std::optional<Duration> timeUntilNextDelayedTask();

// Called (from any thread) whenever a task joins the main queue, so that an
// event loop sleeping elsewhere wakes and drains it. The Qt integration sets it.
// Replacing the hook waits for calls of the old one that are under way; a hook
// must not queue tasks itself.
void setMainQueueWakeHook(std::function<void()> wake);

// For tests: pumps the main queue on the calling (main) thread until `done`
// holds or `timeout` passes; returns the final value of `done`.
bool runMainLoopUntil(const std::function<bool()>& done, Duration timeout);
// Pumps for the given time.
void runMainLoopFor(Duration time);

// A repeating timer on the main queue (Timer.scheduledTimer(repeats: true)).
// Stops when destroyed.
class RepeatingTimer {
public:
    RepeatingTimer(Duration interval, Task tick);
    ~RepeatingTimer();
    RepeatingTimer(const RepeatingTimer&) = delete;
    RepeatingTimer& operator=(const RepeatingTimer&) = delete;
    void invalidate();

private:
    struct State;
    std::shared_ptr<State> state_;
};

} // namespace platform::dispatch
