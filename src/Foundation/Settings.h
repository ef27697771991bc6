#pragma once

#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Values/Value.h"

#include <optional>
#include <string_view>
#include <vector>

// The application-group suite shared by the application and the agent.
inline constexpr const char* appGroupSuiteName = "K4QZ7XRW31.com.tarnwicklabs.agsq";

// The suite, opened once on first use; null for the life of the process when its
// folder is not there and cannot be made (every user then skips its read or write).
// A suite file that cannot be read or written is the store's to refuse (UserDefaults).
platform::UserDefaults* appGroupDefaults();

// This process's own standard defaults.
platform::UserDefaults& standardDefaults();

// Every settings key of both programs: the key without its "BGX" ending.
namespace SettingsKey {
inline constexpr const char* launchAutomatically = "LaunchAutomaticallyBGX";
inline constexpr const char* scanOnAutoLaunch = "ScanOnAutoLaunchBGX";
inline constexpr const char* automaticallyUpdateDefinitions = "AutomaticallyUpdateDefinitionsBGX";
inline constexpr const char* automaticallyUpdateBG = "AutomaticallyUpdateBGBGX";
inline constexpr const char* isDefinitionsAreUpToDate = "IsDefinitionsAreUpToDateBGX";
inline constexpr const char* isPopUp = "IsPopUpBGX";
inline constexpr const char* definitionsNewVersion = "DefinitionsNewVersionBGX";
inline constexpr const char* definitionsOldVersion = "DefinitionsOldVersionBGX";
inline constexpr const char* definitionLastUpdatedOnDate = "DefinitionLastUpdatedOnDateBGX";
inline constexpr const char* appInstalledDate = "AppInstalledDateBGX";
inline constexpr const char* firstRun = "FirstRun";
inline constexpr const char* lastVersion = "lastVersion";
inline constexpr const char* lastScanDate = "LastScanDateBGX";
inline constexpr const char* totalDeceptiveAppsRemovedSoFar = "TotalDeceptiveAppsRemovedSoFarBGX";
inline constexpr const char* countAdvertise = "CountAdvertiseBGX";
inline constexpr const char* loginItemsUD = "LoginItemsUDBG";
inline constexpr const char* launchAgentsUD = "LaunchAgentsUDBG";
inline constexpr const char* moveDeletedToTrash = "MoveDeletedToTrashBGX";
inline constexpr const char* isActiveProtectionEnabled = "IsActiveProtectionEnabledBGX";
inline constexpr const char* isStartupProtectionEnabled = "IsStartupProtectionEnabledBGX";
inline constexpr const char* isCrashesProtectionEnabled = "IsCrashesProtectionEnabledBGX";
inline constexpr const char* ignoreAllPaths = "IgnoreAllPathsBGX";
inline constexpr const char* phoneNumber = "PhoneNumberBGX";
inline constexpr const char* startupItemEnabledPathAGSQ = "StartupItemEnabledPathAGSQBGX";
inline constexpr const char* startupItemEnabledDateAGSQ = "StartupItemEnabledDateAGSQBGX";
inline constexpr const char* clickedManageAppDateAGSQ = "ClickedManageAppDateAGSQBGX";
inline constexpr const char* clickedCrashesDateAGSQ = "ClickedCrashesDateAGSQBGX";
inline constexpr const char* snoozeFor = "SnoozeForBGX";
inline constexpr const char* snoozeForDate = "SnoozeForDateBGX";
inline constexpr const char* newDownloadPathsWithNags = "NewDownloadPathsWithNagsBGX";
} // namespace SettingsKey

enum class SettingsStore { standard, appGroup };

enum class SettingsType { boolean, real, integer, text, date, arrayOfTexts, arrayOfDictionaries };

struct SettingsKeyInfo {
    const char* key;
    SettingsStore store;
    SettingsType type;
    // Written by the application's start-up when the key is missing; null when none is.
    platform::Value startupDefault;
};

// The one table of every key: which store holds it, its type, its start-up default.
const std::vector<SettingsKeyInfo>& settingsKeyTable();
const SettingsKeyInfo* settingsKeyInfo(std::string_view key);

// The store of that kind in this process; null for the suite when it is unavailable.
platform::UserDefaults* settingsStore(SettingsStore store);

// Whether a value has the given type (a real setting also takes an integer).
bool isSettingsValueOfType(const platform::Value& value, SettingsType type);

// A key's value read from its own store: missing when the key is unknown, its store
// unavailable, the key absent or its value of another type than the table's.
std::optional<platform::Value> readSetting(std::string_view key);

// Writes a key into its own store; true when stored. Skipped (false) when the key is
// unknown, its store unavailable or the value of another type.
bool writeSetting(std::string_view key, const platform::Value& value);
