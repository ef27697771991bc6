#include "Platform/Dispatch/MainQueue.h"

#include <deque>
#include <map>
#include <optional>
#include <thread>

namespace platform::dispatch {

namespace {

using Clock = std::chrono::steady_clock;

struct MainQueue {
    std::mutex mutex;
    std::condition_variable changed;
    std::uint64_t generation = 0;
    std::deque<Task> ready;
    // Equal due times keep their order of arrival (multimap inserts after equal keys).
    std::multimap<Clock::time_point, Task> delayed;
    // Ready tasks a drain took in one go and has not run yet. A drain nested in
    // one of them runs the rest first, so the order of arrival holds.
    std::mutex takenMutex;
    std::deque<Task> taken;
    // Held while the hook is called or replaced, so a hook being replaced is
    // never still running (nor called afterwards) from another thread.
    std::mutex wakeMutex;
    std::function<void()> wake;
    std::optional<std::thread::id> mainThread;
};

// Never destroyed: pool threads may still queue work while the process exits.
MainQueue& queue()
{
    static MainQueue* instance = new MainQueue;
    return *instance;
}

void claimMainThreadLocked(MainQueue& q)
{
    if (!q.mainThread)
        q.mainThread = std::this_thread::get_id();
}

void enqueue(std::optional<Clock::time_point> due, Task task)
{
    auto& q = queue();
    bool joinsWaitingTasks = false;
    {
        std::lock_guard lock(q.mutex);
        if (due) {
            q.delayed.emplace(*due, std::move(task));
        } else {
            joinsWaitingTasks = !q.ready.empty();
            q.ready.push_back(std::move(task));
        }
        ++q.generation;
    }
    // The tasks already waiting were announced, and whatever drains them drains
    // this one too: a busy queue costs its producers no wake-up per task.
    if (joinsWaitingTasks)
        return;
    q.changed.notify_all();
    std::lock_guard wakeLock(q.wakeMutex);
    if (q.wake)
        q.wake();
}

// Moves every ready task, and the delayed ones due by `now` after them, to `taken`.
void takeReady(MainQueue& q, Clock::time_point now)
{
    std::lock_guard lock(q.mutex);
    claimMainThreadLocked(q);
    while (!q.delayed.empty() && q.delayed.begin()->first <= now) {
        q.ready.push_back(std::move(q.delayed.begin()->second));
        q.delayed.erase(q.delayed.begin());
    }
    q.taken.swap(q.ready);
}

// The next task to run: the oldest taken one, else the oldest ready one, else
// the earliest delayed one due by `now`.
std::optional<Task> takeNext(Clock::time_point now)
{
    auto& q = queue();
    std::lock_guard lock(q.takenMutex);
    if (q.taken.empty())
        takeReady(q, now);
    if (q.taken.empty())
        return std::nullopt;
    Task task = std::move(q.taken.front());
    q.taken.pop_front();
    return task;
}

} // namespace

void asyncMain(Task task)
{
    enqueue(std::nullopt, std::move(task));
}

void asyncAfter(Duration delay, Task task)
{
    enqueue(Clock::now() + delay, std::move(task));
}

void adoptMainThread()
{
    auto& q = queue();
    std::lock_guard lock(q.mutex);
    q.mainThread = std::this_thread::get_id();
}

bool isMainThread()
{
    auto& q = queue();
    std::lock_guard lock(q.mutex);
    claimMainThreadLocked(q);
    return *q.mainThread == std::this_thread::get_id();
}

int drainMainQueue()
{
    // Delayed tasks count as due against the time the drain began, so a task
    // that re-queues itself with no delay cannot hold the loop forever.
    const auto now = Clock::now();
    int ran = 0;
    while (auto task = takeNext(now)) {
        (*task)();
        ++ran;
    }
    return ran;
}

std::optional<Duration> timeUntilNextDelayedTask()
{
    auto& q = queue();
    std::lock_guard lock(q.mutex);
    if (q.delayed.empty())
        return std::nullopt;
    return std::max(Duration::zero(), q.delayed.begin()->first - Clock::now());
}

void setMainQueueWakeHook(std::function<void()> wake)
{
    auto& q = queue();
    std::lock_guard lock(q.wakeMutex);
    q.wake = std::move(wake);
}

namespace detail {

void waitForMainQueueWork(Clock::time_point until)
{
    auto& q = queue();
    std::unique_lock lock(q.mutex);
    if (!q.delayed.empty())
        until = std::min(until, q.delayed.begin()->first);
    const auto seen = q.generation;
    q.changed.wait_until(lock, until, [&] { return !q.ready.empty() || q.generation != seen; });
}

} // namespace detail

} // namespace platform::dispatch
