#include "Foundation/Reachability.h"

#include "Platform/Reachability/NetworkReachability.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

class ReachabilityTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        platform::clearReachabilityOverride();
        unsetenv("BG_NETWORK_REACHABLE");
    }
};

} // namespace

TEST_F(ReachabilityTest, ConnectedOnlyWhenTheFlagsAreExactlyReachable)
{
    const std::vector<std::pair<platform::ReachabilityFlags, bool>> cases = {
        {2, true}, {3, false}, {0x20002, false}, {0x10002, false}, {6, false}, {0, false}};
    for (const auto& [flags, connected] : cases) {
        platform::forceReachabilityFlags(flags);
        EXPECT_EQ(Reachability::isConnectedToNetwork(), connected) << "flags " << flags;
    }
}

TEST_F(ReachabilityTest, FailingQueryIsNotConnected)
{
    platform::forceReachabilityQueryFailure();
    EXPECT_FALSE(Reachability::isConnectedToNetwork());
}

TEST_F(ReachabilityTest, EnvironmentForcesTheAnswer)
{
    setenv("BG_NETWORK_REACHABLE", "1", 1);
    EXPECT_TRUE(Reachability::isConnectedToNetwork());
    setenv("BG_NETWORK_REACHABLE", "0", 1);
    EXPECT_FALSE(Reachability::isConnectedToNetwork());
}
