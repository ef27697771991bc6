#include "Platform/Dispatch/Dispatch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
namespace dispatch = platform::dispatch;

namespace {

class MainQueueTest : public ::testing::Test {
protected:
    void SetUp() override { dispatch::drainMainQueue(); }
    void TearDown() override { dispatch::setMainQueueWakeHook({}); }
};

TEST_F(MainQueueTest, TasksRunInOrderOnlyWhenDrainedWithThoseTheyQueue)
{
    std::string order;
    dispatch::asyncMain([&] {
        order += 'a';
        dispatch::asyncMain([&] { order += 'c'; });
    });
    dispatch::asyncMain([&] { order += 'b'; });
    EXPECT_EQ(order, "");
    EXPECT_EQ(dispatch::drainMainQueue(), 3);
    EXPECT_EQ(order, "abc");
    EXPECT_EQ(dispatch::drainMainQueue(), 0);
}

TEST_F(MainQueueTest, DrainNestedInATaskRunsTheTasksQueuedBeforeItFirst)
{
    // A task that runs a loop of its own (a modal wait) still sees the tasks
    // that were queued behind it run, in their order.
    std::string order;
    int nestedRan = -1;
    dispatch::asyncMain([&] {
        order += 'a';
        dispatch::asyncMain([&] { order += 'd'; });
        nestedRan = dispatch::drainMainQueue();
        order += '.';
    });
    dispatch::asyncMain([&] { order += 'b'; });
    dispatch::asyncMain([&] { order += 'c'; });
    EXPECT_EQ(dispatch::drainMainQueue(), 1);
    EXPECT_EQ(nestedRan, 3);
    EXPECT_EQ(order, "abcd.");
}

TEST_F(MainQueueTest, DelayedTasksRunByDueTimeNotBefore)
{
    // The task due in an hour arrives first: the later ones, due sooner, must not
    // wait behind it, and it must not run. No assertion hangs on how fast the
    // machine is: an hour is never reached by the test.
    dispatch::asyncAfter(1h, [] { ADD_FAILURE() << "a task ran an hour before it was due"; });
    EXPECT_EQ(dispatch::drainMainQueue(), 0);
    const auto wait = dispatch::timeUntilNextDelayedTask();
    ASSERT_TRUE(wait.has_value());
    EXPECT_GT(*wait, 0ms);
    EXPECT_LE(*wait, 1h);

    std::string order;
    dispatch::asyncAfter(20ms, [&] { order += '1'; });
    dispatch::asyncAfter(40ms, [&] { order += '2'; });
    EXPECT_TRUE(dispatch::runMainLoopUntil([&] { return order.size() == 2; }, 5s));
    EXPECT_EQ(order, "12");
    EXPECT_EQ(dispatch::drainMainQueue(), 0);
    EXPECT_GT(dispatch::timeUntilNextDelayedTask().value_or(0ms), 30min);
}

TEST_F(MainQueueTest, ZeroDelayTaskRequeuingItselfWaitsForTheNextDrain)
{
    int runs = 0;
    std::function<void()> again = [&] {
        if (++runs < 3)
            dispatch::asyncAfter(0ms, again);
    };
    dispatch::asyncAfter(0ms, again);
    EXPECT_EQ(dispatch::drainMainQueue(), 1);
    EXPECT_TRUE(dispatch::runMainLoopUntil([&] { return runs == 3; }, 5s));
}

TEST_F(MainQueueTest, TaskFromAnotherThreadWakesTheLoopAndTheHook)
{
    std::atomic<int> wakes = 0;
    dispatch::setMainQueueWakeHook([&] { ++wakes; });
    bool ranOnMain = false;
    std::thread([&] {
        EXPECT_FALSE(dispatch::isMainThread());
        dispatch::asyncMain([&] { ranOnMain = dispatch::isMainThread(); });
    }).join();
    EXPECT_EQ(wakes, 1);
    EXPECT_TRUE(dispatch::runMainLoopUntil([&] { return ranOnMain; }, 5s));
    dispatch::asyncAfter(0ms, [] {});
    EXPECT_EQ(wakes, 2);
    dispatch::drainMainQueue();
}

TEST_F(MainQueueTest, ReplacingTheHookWaitsForACallUnderWay)
{
    // The Qt pump clears the hook as it goes; a hook still running on a worker
    // thread after that would use a pump that no longer exists.
    std::mutex mutex;
    std::vector<std::string> steps;
    auto note = [&](const char* step) {
        std::lock_guard lock(mutex);
        steps.emplace_back(step);
    };
    std::promise<void> entered;
    std::promise<void> release;
    auto released = release.get_future().share();
    dispatch::setMainQueueWakeHook([&] {
        entered.set_value();
        released.wait();
        note("wake done");
    });
    std::thread worker([] { dispatch::asyncMain([] {}); });
    entered.get_future().wait();
    std::thread clearer([&] {
        dispatch::setMainQueueWakeHook({});
        note("cleared");
    });
    release.set_value();
    clearer.join();
    worker.join();
    EXPECT_EQ(steps, (std::vector<std::string>{"wake done", "cleared"}));
    dispatch::drainMainQueue();
}

TEST_F(MainQueueTest, RunMainLoopUntilGivesUpAtTheTimeout)
{
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(dispatch::runMainLoopUntil([] { return false; }, 30ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);
}

TEST_F(MainQueueTest, ConditionChangedByAWorkerAloneIsSeen)
{
    std::atomic<bool> done = false;
    std::thread worker([&] { done = true; });
    EXPECT_TRUE(dispatch::runMainLoopUntil([&] { return done.load(); }, 5s));
    worker.join();
}

} // namespace
