#include "Helper/LDLaunchCtl/LDLaunchDomain.h"

#include "Platform/Root/PlatformRoot.h"

#include <array>
#include <string_view>

namespace {

struct DomainFolder {
    LDLaunchDomain domain;
    std::string_view platformPath;
};

constexpr std::array domainFolders{
    DomainFolder{LDLaunchDomain::globalLaunchAgent, "/Library/LaunchAgents/"},
    DomainFolder{LDLaunchDomain::systemLaunchAgent, "/System/Library/LaunchAgents/"},
    DomainFolder{LDLaunchDomain::globalLaunchDaemon, "/Library/LaunchDaemons/"},
    DomainFolder{LDLaunchDomain::systemLaunchDaemon, "/System/Library/LaunchDaemons/"},
};

} // namespace

std::string LDDomainFolder(LDLaunchDomain domain)
{
    for (const auto& entry : domainFolders)
        if (entry.domain == domain)
            return platform::hostPath(entry.platformPath);
    return platform::homeDirectory() + "/Library/LaunchAgents/";
}

std::optional<std::string> LDJobPlistPath(LDLaunchDomain domain, const std::string& label)
{
    if (label.empty() || domain == LDLaunchDomain::none)
        return std::nullopt;
    return LDDomainFolder(domain) + label + ".plist";
}

platform::LaunchdDomain LDServiceManagementDomain(LDLaunchDomain domain)
{
    return domain < LDLaunchDomain::systemLaunchAgent ? platform::LaunchdDomain::User
                                                      : platform::LaunchdDomain::System;
}
