#pragma once

#include <string>

// The agent's bundle identifier: its launchd label, its launch agent's file name and
// the object of its distributed notifications.
inline constexpr const char* agentBundleIdentifier = "com.tarnwicklabs.activeguardsentinelwarden";

// ~/Library/LaunchAgents/<agent identifier>.plist
std::string agentLaunchAgentPlistPath();
