#pragma once

// The local notifications (default center, no object) through which the triage
// hands an item to its alert window, posted right after the window was shown, and
// the keys of their userInfo with the type each value holds.

namespace AlertNotification {
inline constexpr const char* newStartupItem = "NewStartupItem";
inline constexpr const char* newDownloadedItem = "NewDownloadedItem";
inline constexpr const char* newCrashReport = "NewCrashReport";
} // namespace AlertNotification

namespace AlertKey {
// "NewStartupItem"
inline constexpr const char* newStartupItem = "newStartupItem"; // std::string: the item's application path,
                                                                // else its name, else empty
inline constexpr const char* startupType = "startupType";       // std::string: a StartupType text
// "NewDownloadedItem"
inline constexpr const char* newDownloadedItem = "newDownloadedItem";     // std::string: the item's full path
inline constexpr const char* detectedMalwareList = "detectedMalwareList"; // MalwareList: the matched record
// "NewCrashReport"
inline constexpr const char* crashReport = "crashReport"; // std::string: the report's full path
} // namespace AlertKey

// The kinds of startup item, as the alert shows them.
namespace StartupType {
inline constexpr const char* launchAgent = "Launch Agent"; // from the launch-agent folders
inline constexpr const char* loginItem = "Login Item";     // from the login-items poll
} // namespace StartupType
