#include "Foundation/Reachability.h"

#include "Platform/Reachability/NetworkReachability.h"

#include <netinet/in.h>
#include <sys/socket.h>

bool Reachability::isConnectedToNetwork()
{
    sockaddr_in zeroAddress{};
    zeroAddress.sin_family = AF_INET;
    const auto reachability =
        platform::NetworkReachability::createWithAddress(reinterpret_cast<const sockaddr&>(zeroAddress));
    if (!reachability)
        return false;
    platform::ReachabilityFlags flags = 0;
    if (!reachability->getFlags(flags))
        return false;
    return flags == platform::reachabilityReachable;
}
