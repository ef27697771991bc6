#pragma once

#include "Platform/Launchd/ServiceManagement.h"

#include <cstdint>
#include <optional>
#include <string>

// The five launchd folders; 0 is "no domain" (a job never placed).
enum class LDLaunchDomain : std::int64_t {
    none = 0,
    userLaunchAgent = 1,    // ~/Library/LaunchAgents/
    globalLaunchAgent = 2,  // /Library/LaunchAgents/
    systemLaunchAgent = 3,  // /System/Library/LaunchAgents/
    globalLaunchDaemon = 4, // /Library/LaunchDaemons/
    systemLaunchDaemon = 5, // /System/Library/LaunchDaemons/
};

// The domain's folder (a host path ending in "/"); every value outside 2-5 is the user's folder.
std::string LDDomainFolder(LDLaunchDomain domain);

// The domain's folder + label + ".plist"; none without a label (empty) or for domain 0.
std::optional<std::string> LDJobPlistPath(LDLaunchDomain domain, const std::string& label);

// The launchd domain serving a folder: the user's below 3, the system's from 3 on.
platform::LaunchdDomain LDServiceManagementDomain(LDLaunchDomain domain);
