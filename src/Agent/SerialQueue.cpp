#include "Agent/SerialQueue.h"

#include <deque>
#include <mutex>
#include <utility>

struct SerialQueue::State {
    std::mutex mutex;
    std::deque<platform::dispatch::Task> tasks;
    bool draining = false;

    // Runs the queued items until none is left; one drain at a time.
    void drain()
    {
        for (;;) {
            platform::dispatch::Task task;
            {
                const std::lock_guard lock(mutex);
                if (tasks.empty()) {
                    draining = false;
                    return;
                }
                task = std::move(tasks.front());
                tasks.pop_front();
            }
            task();
        }
    }
};

SerialQueue::SerialQueue() : state_(std::make_shared<State>()) {}

void SerialQueue::async(platform::dispatch::Task task)
{
    const std::lock_guard lock(state_->mutex);
    state_->tasks.push_back(std::move(task));
    if (!std::exchange(state_->draining, true))
        platform::dispatch::asyncGlobal([state = state_] { state->drain(); });
}
