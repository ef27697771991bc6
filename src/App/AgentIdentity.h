#pragma once

#include <string>

#include <sys/types.h>

// The agent's bundle identifier: its launchd label, its launch agent's file name and
// the object of its distributed notifications.
inline constexpr const char* agentBundleIdentifier = "com.tarnwicklabs.activeguardsentinelwarden";

// ~/Library/LaunchAgents/<agent identifier>.plist
std::string agentLaunchAgentPlistPath();

// Whether the process has ended: gone, or a zombie its parent has not reaped yet.
bool processHasExited(pid_t pid);
