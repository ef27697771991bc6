#pragma once

// The application the alerts hand the user over to, and the agent's own identifier
// (fixed texts: the object of the agent's distributed notifications).
inline constexpr const char* applicationBundleIdentifier = "com.tarnwicklabs.bastionguardpoint";
inline constexpr const char* agentNotificationObject = "com.tarnwicklabs.activeguardsentinelwarden";

// Manage Now and Scan Now: stores the click date under `clickDateKey` in the suite,
// launches the application by bundle identifier (a running one is not started
// again), and when the application runs (exactly that identifier) posts
// `notificationName` on the distributed center. Returns whether it posted.
bool handOverToApplication(const char* clickDateKey, const char* notificationName);
