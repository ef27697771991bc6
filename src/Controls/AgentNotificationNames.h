#pragma once

// The two distributed notifications the agent posts to the application (object: the
// agent's bundle identifier, no userInfo).
inline constexpr const char* observeAGSQNotificationName = "ObserveAGSQ";
inline constexpr const char* observeAGSQCrashReportNotificationName = "ObserveAGSQCrashReport";
