#include "Platform/Dispatch/SerialQueue.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>

namespace platform::dispatch {

struct SerialQueue::State {
    std::mutex mutex;
    std::condition_variable itemEnded;
    std::deque<Task> tasks;
    bool draining = false; // a drain is queued or under way
    bool running = false;  // an item is under way

    // Runs the queued items until none is left; one drain at a time.
    void drain()
    {
        std::unique_lock lock(mutex);
        while (!tasks.empty()) {
            Task task = std::move(tasks.front());
            tasks.pop_front();
            running = true;
            lock.unlock();
            task();
            task = nullptr; // what it captured is released before the item counts as ended
            lock.lock();
            running = false;
            itemEnded.notify_all();
        }
        draining = false;
    }
};

SerialQueue::SerialQueue() : state_(std::make_shared<State>()) {}

void SerialQueue::async(Task task)
{
    const std::lock_guard lock(state_->mutex);
    state_->tasks.push_back(std::move(task));
    if (!std::exchange(state_->draining, true))
        asyncGlobal([state = state_] { state->drain(); });
}

void SerialQueue::cancelAndWait()
{
    std::deque<Task> dropped; // released after the lock
    std::unique_lock lock(state_->mutex);
    dropped.swap(state_->tasks);
    state_->itemEnded.wait(lock, [&] { return !state_->running; });
}

} // namespace platform::dispatch
