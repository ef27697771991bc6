#include "Platform/Reachability/NetworkReachability.h"

#include <gtest/gtest.h>

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

struct InterfaceCase {
    std::string name;
    unsigned flags;
    int family; // AF_UNSPEC: the entry carries no address
    bool reachable;
};

// Interfaces as getifaddrs lists them, chained in the order given.
class InterfaceList {
public:
    explicit InterfaceList(const std::vector<InterfaceCase>& cases)
        : names_(cases.size()), addresses_(cases.size()), entries_(cases.size())
    {
        for (std::size_t i = 0; i < cases.size(); ++i) {
            names_[i] = cases[i].name;
            addresses_[i].ss_family = static_cast<sa_family_t>(cases[i].family);
            entries_[i].ifa_name = names_[i].data();
            entries_[i].ifa_flags = cases[i].flags;
            entries_[i].ifa_addr = cases[i].family == AF_UNSPEC
                                       ? nullptr
                                       : reinterpret_cast<sockaddr*>(&addresses_[i]);
            entries_[i].ifa_next = i + 1 < cases.size() ? &entries_[i + 1] : nullptr;
        }
    }
    const ifaddrs* head() const { return entries_.empty() ? nullptr : &entries_.front(); }

private:
    std::vector<std::string> names_;
    std::vector<sockaddr_storage> addresses_;
    std::vector<ifaddrs> entries_;
};

constexpr unsigned upRunning = IFF_UP | IFF_RUNNING;

sockaddr_in zeroAddress()
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    return address;
}

std::optional<platform::ReachabilityFlags> queryFlags()
{
    const sockaddr_in address = zeroAddress();
    auto reachability =
        platform::NetworkReachability::createWithAddress(reinterpret_cast<const sockaddr&>(address));
    platform::ReachabilityFlags flags = 0xFFFF;
    if (!reachability || !reachability->getFlags(flags))
        return std::nullopt;
    return flags;
}

class NetworkReachabilityTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        platform::clearReachabilityOverride();
        unsetenv("BG_NETWORK_REACHABLE");
    }
};

} // namespace

TEST(ReachabilityFlagsOfInterfaces, OnlyARunningNonLoopbackInterfaceWithAnIpAddressCounts)
{
    const std::vector<InterfaceCase> cases = {
        {"eth0", upRunning, AF_INET, true},
        {"wlan0", upRunning, AF_INET6, true},
        {"lo", upRunning | IFF_LOOPBACK, AF_INET, false},
        {"eth1", IFF_UP, AF_INET, false},
        {"eth2", IFF_RUNNING, AF_INET, false},
        {"eth3", upRunning, AF_PACKET, false},
        {"eth4", upRunning, AF_UNSPEC, false},
    };
    for (const auto& entry : cases) {
        const InterfaceList list({entry});
        EXPECT_EQ(platform::reachabilityFlagsOfInterfaces(list.head()),
                  entry.reachable ? platform::reachabilityReachable : 0u)
            << entry.name;
    }
}

TEST(ReachabilityFlagsOfInterfaces, AnyUsableInterfaceInTheListMakesItReachable)
{
    const InterfaceList list({{"lo", upRunning | IFF_LOOPBACK, AF_INET, false},
                              {"eth0", upRunning, AF_PACKET, false},
                              {"eth0", upRunning, AF_INET, true}});
    EXPECT_EQ(platform::reachabilityFlagsOfInterfaces(list.head()), platform::reachabilityReachable);
    EXPECT_EQ(platform::reachabilityFlagsOfInterfaces(nullptr), 0u);
}

TEST(NetworkReachabilityCreate, AcceptsOnlyInternetAddresses)
{
    sockaddr_storage address{};
    for (const int family : {AF_INET, AF_INET6}) {
        address.ss_family = static_cast<sa_family_t>(family);
        EXPECT_NE(platform::NetworkReachability::createWithAddress(
                      reinterpret_cast<const sockaddr&>(address)),
                  nullptr);
    }
    address.ss_family = AF_UNIX;
    EXPECT_EQ(platform::NetworkReachability::createWithAddress(reinterpret_cast<const sockaddr&>(address)),
              nullptr);
}

TEST_F(NetworkReachabilityTest, EnvironmentForcesTheAnswer)
{
    setenv("BG_NETWORK_REACHABLE", "1", 1);
    EXPECT_EQ(queryFlags(), platform::reachabilityReachable);
    setenv("BG_NETWORK_REACHABLE", "0", 1);
    EXPECT_EQ(queryFlags(), 0u);
}

TEST_F(NetworkReachabilityTest, WithoutOverrideTheHostInterfacesAnswer)
{
    unsetenv("BG_NETWORK_REACHABLE");
    ifaddrs* interfaces = nullptr;
    ASSERT_EQ(getifaddrs(&interfaces), 0);
    const auto expected = platform::reachabilityFlagsOfInterfaces(interfaces);
    freeifaddrs(interfaces);
    EXPECT_EQ(queryFlags(), expected);
}

TEST_F(NetworkReachabilityTest, OverrideComesBeforeTheEnvironmentUntilCleared)
{
    setenv("BG_NETWORK_REACHABLE", "1", 1);
    platform::forceReachabilityFlags(platform::reachabilityReachable | platform::reachabilityIsDirect);
    EXPECT_EQ(queryFlags(), 0x20002u);
    platform::forceReachabilityQueryFailure();
    EXPECT_EQ(queryFlags(), std::nullopt);
    platform::clearReachabilityOverride();
    EXPECT_EQ(queryFlags(), platform::reachabilityReachable);
}
