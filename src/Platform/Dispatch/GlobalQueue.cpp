#include "Platform/Dispatch/Dispatch.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>

namespace platform::dispatch {

namespace {

using namespace std::chrono_literals;

// How long the end of a process waits for the work items under way.
constexpr auto finishPatience = 5s;

// The global concurrent queue: a fixed set of pool threads, started on first
// use, taking tasks in order of arrival. At least a few threads even on a
// single-core machine, so work items that wait on each other still progress.
// It also counts the tasks run on threads of their own. Once finished, it takes
// no more tasks; its threads stay idle until the process ends.
class GlobalQueue {
public:
    void async(Task task)
    {
        {
            std::lock_guard lock(mutex_);
            if (finished_)
                return; // `task` is released here, after the lock
            startThreadsLocked();
            tasks_.push_back(std::move(task));
        }
        available_.notify_one();
    }

    // Counts the task as running before its thread starts, so that the end waits
    // for it from now on.
    void spawn(Task task)
    {
        {
            std::lock_guard lock(mutex_);
            if (finished_)
                return; // `task` is released here, after the lock
            ++running_;
        }
        try {
            std::thread([this, task = std::move(task)]() mutable { run(task); }).detach();
        } catch (...) {
            itemEnded();
            throw;
        }
    }

    // Drops the tasks not begun and refuses later ones; answers whether the
    // running ones returned within `patience`.
    bool finish(Duration patience)
    {
        std::deque<Task> dropped; // released after the lock
        std::unique_lock lock(mutex_);
        finished_ = true;
        dropped.swap(tasks_);
        return ended_.wait_for(lock, patience, [this] { return running_ == 0; });
    }

    bool idle()
    {
        std::lock_guard lock(mutex_);
        return tasks_.empty() && running_ == 0;
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
                ++running_;
            }
            run(task);
        }
    }

    // Runs a task counted as running, and ends it.
    void run(Task& task)
    {
        task();
        task = nullptr; // what it captured is released while it counts as running
        itemEnded();
    }

    void itemEnded()
    {
        {
            std::lock_guard lock(mutex_);
            --running_;
        }
        ended_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable available_;
    std::condition_variable ended_;
    std::deque<Task> tasks_;
    int running_ = 0;
    bool started_ = false;
    bool finished_ = false;
};

// Never destroyed: its detached threads live until the process ends.
GlobalQueue& globalQueue()
{
    static GlobalQueue* queue = new GlobalQueue;
    return *queue;
}

} // namespace

void asyncGlobal(Task task)
{
    globalQueue().async(std::move(task));
}

void asyncOnOwnThread(Task task)
{
    globalQueue().spawn(std::move(task));
}

void finishGlobalQueue(int status)
{
    if (globalQueue().finish(finishPatience))
        return;
    std::fflush(nullptr);
    std::quick_exit(status);
}

bool isGlobalQueueIdle()
{
    return globalQueue().idle();
}

} // namespace platform::dispatch
