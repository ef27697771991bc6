#include "BackgroundWork.h"

#include "Platform/Dispatch/Dispatch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

namespace testsupport {

namespace {

constexpr auto patience = std::chrono::seconds(10);

class AwaitAfterEachTest : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override { awaitBackgroundWork(); }
};

} // namespace

void awaitBackgroundWork()
{
    if (!platform::dispatch::runMainLoopUntil(platform::dispatch::isGlobalQueueIdle, patience))
        std::fprintf(stderr, "Background work still runs after %lld s\n", static_cast<long long>(patience.count()));
}

void awaitBackgroundWorkAfterEachTest()
{
    ::testing::UnitTest::GetInstance()->listeners().Append(new AwaitAfterEachTest);
}

} // namespace testsupport
