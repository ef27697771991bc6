#include "Detection/ProgressHandOver.h"

namespace {

constexpr std::int64_t resumeAt = ProgressHandOver::maximumWaiting / 2;

} // namespace

void ProgressHandOver::waitForRoom()
{
    auto waiting = waiting_.load();
    while (waiting >= maximumWaiting && !platform::dispatch::isMainThread()) {
        waiting_.wait(waiting);
        waiting = waiting_.load();
    }
}

void ProgressHandOver::ran()
{
    // Only the post that brings the count down to the resume level wakes a worker.
    if (waiting_.fetch_sub(1) - 1 == resumeAt)
        waiting_.notify_all();
}
