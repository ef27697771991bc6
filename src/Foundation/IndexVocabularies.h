#pragma once

// The screens and states that notifications switch between. A notification carries
// the value itself (not a number) under the userInfo key "menu"; a receiver reads it
// with Notification::value<T>(menuKey) and ignores an entry of another type.
inline constexpr const char* menuKey = "menu";

// Sidebar entries ("MenuSelectionBGX").
enum class Menu { overview, scan, protection, startupManager, settings };

// Children of the scan container ("ScanViewUpdateBGX").
enum class ScanMenu { scanprocess, scanresult, cleanProcess };

// States of the two clean-progress screens ("CleanViewUpdateBGX", "CleanViewUpdate_StartupItemsBGX").
enum class CleanMenu { process, result };

// Tabs of the settings container ("SettingViewUpdateBGX").
enum class SettingsMenu { general, update, ignoreList };

// Children of the startup-items container ("StartupItemsViewUpdateBGX").
enum class StartupItemsState { viewStartupItems, cleanStartupItems };
