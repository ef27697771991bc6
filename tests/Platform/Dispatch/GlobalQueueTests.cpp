#include "Platform/Dispatch/Dispatch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <latch>

using namespace std::chrono_literals;
namespace dispatch = platform::dispatch;

namespace {

TEST(GlobalQueue, TasksRunConcurrentlyOffTheMainThread)
{
    // Each task waits for the other: both finish only when they run at once.
    constexpr int kTasks = 4;
    std::latch together(kTasks);
    std::atomic<int> finished = 0;
    std::atomic<int> onMain = 0;
    for (int i = 0; i < kTasks; ++i)
        dispatch::asyncGlobal([&] {
            onMain += dispatch::isMainThread();
            together.arrive_and_wait();
            dispatch::asyncMain([&] { ++finished; });
        });
    EXPECT_TRUE(dispatch::runMainLoopUntil([&] { return finished == kTasks; }, 10s));
    EXPECT_EQ(onMain, 0);
}

} // namespace
