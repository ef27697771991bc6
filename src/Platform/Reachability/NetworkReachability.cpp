#include "Platform/Reachability/NetworkReachability.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>

#include <atomic>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace platform {

namespace {

// No override, a forced failure, or else the forced flags.
constexpr std::int64_t noOverride = -1;
constexpr std::int64_t failingQuery = -2;
std::atomic<std::int64_t> reachabilityOverride{noOverride};

std::optional<ReachabilityFlags> flagsFromEnvironment()
{
    const char* forced = std::getenv("BG_NETWORK_REACHABLE");
    if (!forced)
        return std::nullopt;
    const std::string_view value(forced);
    if (value == "1")
        return reachabilityReachable;
    if (value == "0")
        return 0;
    return std::nullopt;
}

bool isUsableInterface(const ifaddrs& entry)
{
    const unsigned required = IFF_UP | IFF_RUNNING;
    if ((entry.ifa_flags & required) != required || (entry.ifa_flags & IFF_LOOPBACK))
        return false;
    return entry.ifa_addr
           && (entry.ifa_addr->sa_family == AF_INET || entry.ifa_addr->sa_family == AF_INET6);
}

} // namespace

std::unique_ptr<NetworkReachability> NetworkReachability::createWithAddress(const sockaddr& address)
{
    if (address.sa_family != AF_INET && address.sa_family != AF_INET6)
        return nullptr;
    return std::unique_ptr<NetworkReachability>(new NetworkReachability());
}

bool NetworkReachability::getFlags(ReachabilityFlags& flags) const
{
    if (const std::int64_t forced = reachabilityOverride.load(); forced != noOverride) {
        if (forced == failingQuery)
            return false;
        flags = static_cast<ReachabilityFlags>(forced);
        return true;
    }
    if (const auto fromEnvironment = flagsFromEnvironment()) {
        flags = *fromEnvironment;
        return true;
    }
    ifaddrs* interfaces = nullptr;
    if (getifaddrs(&interfaces) != 0)
        return false;
    flags = reachabilityFlagsOfInterfaces(interfaces);
    freeifaddrs(interfaces);
    return true;
}

ReachabilityFlags reachabilityFlagsOfInterfaces(const ifaddrs* interfaces)
{
    for (const ifaddrs* entry = interfaces; entry; entry = entry->ifa_next) {
        if (isUsableInterface(*entry))
            return reachabilityReachable;
    }
    return 0;
}

void forceReachabilityFlags(ReachabilityFlags flags)
{
    reachabilityOverride.store(flags);
}

void forceReachabilityQueryFailure()
{
    reachabilityOverride.store(failingQuery);
}

void clearReachabilityOverride()
{
    reachabilityOverride.store(noOverride);
}

} // namespace platform
