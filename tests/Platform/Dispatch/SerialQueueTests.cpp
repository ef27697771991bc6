#include "Platform/Dispatch/SerialQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <numeric>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
namespace dispatch = platform::dispatch;

namespace {

// What the items of a queue did: which ran, in order, and the most at once.
struct Runs {
    std::mutex mutex;
    std::vector<int> order;
    std::atomic<int> underWay = 0;
    std::atomic<int> mostAtOnce = 0;

    dispatch::Task item(int index, std::chrono::milliseconds takes = 1ms)
    {
        return [this, index, takes] {
            const int atOnce = ++underWay;
            for (int most = mostAtOnce; atOnce > most && !mostAtOnce.compare_exchange_weak(most, atOnce);)
                ;
            std::this_thread::sleep_for(takes);
            const std::lock_guard lock(mutex);
            order.push_back(index);
            --underWay;
        };
    }
    std::vector<int> ran()
    {
        const std::lock_guard lock(mutex);
        return order;
    }
};

bool waitUntil(const std::function<bool()>& done)
{
    for (int i = 0; i < 1000 && !done(); ++i)
        std::this_thread::sleep_for(10ms);
    return done();
}

TEST(SerialQueue, ItemsRunOneAtATimeInTheOrderGiven)
{
    dispatch::SerialQueue queue;
    Runs runs;
    for (int i = 0; i < 20; ++i)
        queue.async(runs.item(i));
    ASSERT_TRUE(waitUntil([&] { return runs.ran().size() == 20; }));
    std::vector<int> expected(20);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(runs.ran(), expected);
    EXPECT_EQ(runs.mostAtOnce, 1);
}

TEST(SerialQueue, CancelWaitsForTheRunningItemAndDropsTheRest)
{
    dispatch::SerialQueue queue;
    Runs runs;
    queue.async(runs.item(0, 300ms));
    for (int i = 1; i < 5; ++i)
        queue.async(runs.item(i));
    ASSERT_TRUE(waitUntil([&] { return runs.underWay == 1; }));
    queue.cancelAndWait();
    EXPECT_EQ(runs.ran(), std::vector<int>{0});

    queue.async(runs.item(5)); // the queue goes on
    ASSERT_TRUE(waitUntil([&] { return runs.ran().size() == 2; }));
    EXPECT_EQ(runs.ran(), (std::vector<int>{0, 5}));
}

} // namespace
