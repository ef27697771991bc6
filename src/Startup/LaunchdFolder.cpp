#include "Startup/LaunchdFolder.h"

std::optional<std::string> launchdFolder(std::optional<LDLaunchDomain> domain)
{
    if (!domain || *domain < LDLaunchDomain::userLaunchAgent || *domain > LDLaunchDomain::systemLaunchDaemon)
        return std::nullopt;
    return LDDomainFolder(*domain);
}
