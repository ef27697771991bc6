#include "Platform/Dispatch/Dispatch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <latch>
#include <thread>

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

namespace {

// The end of the global queue, each in a process of its own (death tests).
class GlobalQueueEnd : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }

    static void waitFor(const std::atomic<int>& count)
    {
        while (count == 0)
            std::this_thread::sleep_for(1ms);
    }
};

// Items under way, on the queue or on threads of their own, are awaited.
TEST_F(GlobalQueueEnd, ItemsUnderWayAreAwaitedAndNoOtherRuns)
{
    EXPECT_EXIT(
        {
            std::atomic<int> begun = 0;
            std::atomic<int> ended = 0;
            std::atomic<int> ownEnded = 0;
            for (int i = 0; i < 64; ++i)
                dispatch::asyncGlobal([&] {
                    ++begun;
                    std::this_thread::sleep_for(200ms);
                    ++ended;
                });
            for (int i = 0; i < 3; ++i)
                dispatch::asyncOnOwnThread([&] {
                    std::this_thread::sleep_for(300ms);
                    ++ownEnded;
                });
            waitFor(begun);
            dispatch::finishGlobalQueue(3);
            const int ranBeforeTheEnd = begun;
            std::atomic<int> later = 0;
            dispatch::asyncGlobal([&] { ++later; });
            dispatch::asyncOnOwnThread([&] { ++later; });
            std::this_thread::sleep_for(300ms);
            const bool awaited = ended == ranBeforeTheEnd && begun == ranBeforeTheEnd && ownEnded == 3;
            std::exit(awaited && ranBeforeTheEnd < 64 && later == 0 ? 0 : 2);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(GlobalQueueEnd, AnItemThatDoesNotReturnEndsTheProcessWithTheStatusGiven)
{
    EXPECT_EXIT(
        {
            std::atomic<int> begun = 0;
            dispatch::asyncGlobal([&] {
                ++begun;
                for (;;)
                    std::this_thread::sleep_for(1s);
            });
            waitFor(begun);
            dispatch::finishGlobalQueue(3);
            std::exit(0);
        },
        testing::ExitedWithCode(3), "");
}

} // namespace
