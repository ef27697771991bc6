#pragma once

#include "Platform/Dispatch/Dispatch.h"

#include <atomic>
#include <cstdint>
#include <utility>

// Hands a worker's progress posts to the main queue, in order. A worker that gets
// `maximumWaiting` posts ahead of the main thread waits until half of them have
// run, so the posts waiting at a time stay bounded however many files a walk
// visits. On the main thread nothing waits (its posts only run once it drains).
class ProgressHandOver {
public:
    static constexpr std::int64_t maximumWaiting = 4096;

    template <class Post>
    void hand(Post&& post)
    {
        waitForRoom();
        waiting_.fetch_add(1);
        platform::dispatch::asyncMain([this, post = std::forward<Post>(post)] {
            post();
            ran();
        });
    }

private:
    void waitForRoom();
    void ran();

    std::atomic<std::int64_t> waiting_{0};
};
