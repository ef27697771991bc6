#pragma once

#include <cstdint>
#include <memory>

struct ifaddrs;
struct sockaddr;

namespace platform {

// SCNetworkReachabilityFlags.
using ReachabilityFlags = std::uint32_t;

enum ReachabilityFlag : ReachabilityFlags {
    reachabilityTransientConnection = 1u << 0,
    reachabilityReachable = 1u << 1,
    reachabilityConnectionRequired = 1u << 2,
    reachabilityConnectionOnTraffic = 1u << 3,
    reachabilityInterventionRequired = 1u << 4,
    reachabilityConnectionOnDemand = 1u << 5,
    reachabilityIsLocalAddress = 1u << 16,
    reachabilityIsDirect = 1u << 17,
    reachabilityIsWWAN = 1u << 18,
};

// SCNetworkReachability for a target address. The answer is about reaching the
// network at all: the host's interfaces are asked, whatever the address.
class NetworkReachability {
public:
    // SCNetworkReachabilityCreateWithAddress: null unless the address is IPv4 or IPv6.
    static std::unique_ptr<NetworkReachability> createWithAddress(const sockaddr& address);

    // SCNetworkReachabilityGetFlags, synchronous: false when the flags cannot be
    // determined. Reachable when some interface other than loopback is up and
    // running with an IPv4 or IPv6 address; BG_NETWORK_REACHABLE=1 or 0 forces
    // reachable or not; a test override comes before both.
    [[nodiscard]] bool getFlags(ReachabilityFlags& flags) const;

private:
    NetworkReachability() = default;
};

// The flags that a list of interfaces (as getifaddrs gives it) yields.
ReachabilityFlags reachabilityFlagsOfInterfaces(const ifaddrs* interfaces);

// For tests, process-wide: force the flags every query gives, or force the query
// to fail, until cleared.
void forceReachabilityFlags(ReachabilityFlags flags);
void forceReachabilityQueryFailure();
void clearReachabilityOverride();

} // namespace platform
