#include "Detection/ProgressHandOver.h"
#include "Detection/ScanProgress.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Notifications/NotificationCenter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
namespace dispatch = platform::dispatch;

namespace {

constexpr std::int64_t aheadBy = ProgressHandOver::maximumWaiting + 100;

TEST(ProgressHandOver, WorkerAheadOfTheMainThreadWaitsAndEveryPostRunsInOrder)
{
    dispatch::drainMainQueue();
    ProgressHandOver handOver;
    std::vector<std::int64_t> ran;
    std::atomic<std::int64_t> handed = 0;
    std::thread worker([&] {
        for (std::int64_t post = 0; post < aheadBy; ++post) {
            handOver.hand([&ran, post] { ran.push_back(post); });
            ++handed;
        }
    });
    // Nothing drains yet: the worker stops at the bound.
    while (handed < ProgressHandOver::maximumWaiting)
        std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(handed, ProgressHandOver::maximumWaiting);
    EXPECT_TRUE(dispatch::runMainLoopUntil([&] { return std::int64_t(ran.size()) == aheadBy; }, 30s));
    worker.join();
    for (std::int64_t post = 0; post < std::int64_t(ran.size()); ++post)
        ASSERT_EQ(ran[std::size_t(post)], post);
}

TEST(ProgressHandOver, MainThreadNeverWaitsForItself)
{
    ProgressHandOver handOver;
    std::int64_t ran = 0;
    for (std::int64_t post = 0; post < aheadBy; ++post)
        handOver.hand([&ran] { ++ran; });
    EXPECT_EQ(dispatch::drainMainQueue(), aheadBy);
    EXPECT_EQ(ran, aheadBy);
}

TEST(ScanProgress, PostFromInsideAReceiverLeavesTheOuterPostsValues)
{
    auto& center = platform::NotificationCenter::defaultCenter();
    std::vector<std::string> seen;
    auto inner = center.addObserver("NotifyScanProcessBGX", [&](const platform::Notification& note) {
        if (*note.value<std::string>("path") == "outer")
            postScanProgress(1, "inner", 2, 3.0);
    });
    auto later = center.addObserver("NotifyScanProcessBGX", [&](const platform::Notification& note) {
        seen.push_back(*note.value<std::string>("path") + " " + std::to_string(*note.value<std::int64_t>("totalFound")));
    });
    postScanProgress(7, "outer", 8, 9.0);
    EXPECT_EQ(seen, (std::vector<std::string>{"inner 1", "outer 7"}));
}

} // namespace
