#include "Platform/Dispatch/Dispatch.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace platform::dispatch {

namespace {

// The global concurrent queue: a fixed set of pool threads, started on first
// use, taking tasks in order of arrival. At least a few threads even on a
// single-core machine, so work items that wait on each other still progress.
class GlobalQueue {
public:
    void async(Task task)
    {
        {
            std::lock_guard lock(mutex_);
            startThreadsLocked();
            tasks_.push_back(std::move(task));
        }
        available_.notify_one();
    }

private:
    void startThreadsLocked()
    {
        if (started_)
            return;
        started_ = true;
        const unsigned count = std::max(4u, std::thread::hardware_concurrency());
        for (unsigned i = 0; i < count; ++i)
            std::thread([this] { work(); }).detach();
    }

    void work()
    {
        for (;;) {
            Task task;
            {
                std::unique_lock lock(mutex_);
                available_.wait(lock, [this] { return !tasks_.empty(); });
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            task();
        }
    }

    std::mutex mutex_;
    std::condition_variable available_;
    std::deque<Task> tasks_;
    bool started_ = false;
};

} // namespace

void asyncGlobal(Task task)
{
    // Never destroyed: its detached threads live until the process ends.
    static GlobalQueue* queue = new GlobalQueue;
    queue->async(std::move(task));
}

} // namespace platform::dispatch
