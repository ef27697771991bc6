#include "Platform/Dispatch/Dispatch.h"

#include <gtest/gtest.h>

#include <memory>

using namespace std::chrono_literals;
namespace dispatch = platform::dispatch;

namespace {

TEST(RepeatingTimer, FiresEveryIntervalUntilInvalidated)
{
    int ticks = 0;
    dispatch::RepeatingTimer timer(5ms, [&] { ++ticks; });
    EXPECT_EQ(ticks, 0);
    EXPECT_TRUE(dispatch::runMainLoopUntil([&] { return ticks >= 3; }, 5s));
    timer.invalidate();
    const int atStop = ticks;
    dispatch::runMainLoopFor(30ms);
    EXPECT_EQ(ticks, atStop);
}

TEST(RepeatingTimer, StopsWhenDestroyed)
{
    int ticks = 0;
    {
        dispatch::RepeatingTimer timer(5ms, [&] { ++ticks; });
        EXPECT_TRUE(dispatch::runMainLoopUntil([&] { return ticks >= 1; }, 5s));
    }
    const int atStop = ticks;
    dispatch::runMainLoopFor(30ms);
    EXPECT_EQ(ticks, atStop);
}

TEST(RepeatingTimer, DestroyedFromInsideItsOwnTick)
{
    struct Owner {
        int ticks = 0;
        std::unique_ptr<dispatch::RepeatingTimer> timer;
    } owner;
    owner.timer = std::make_unique<dispatch::RepeatingTimer>(5ms, [&owner] {
        ++owner.ticks;
        owner.timer.reset();
    });
    EXPECT_TRUE(dispatch::runMainLoopUntil([&] { return !owner.timer; }, 5s));
    dispatch::runMainLoopFor(30ms);
    EXPECT_EQ(owner.ticks, 1);
}

} // namespace
