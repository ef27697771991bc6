#include "Foundation/Settings.h"

#include "Platform/Defaults/UserDefaults.h"
#include "TestAnew.h"
#include "TestRoot.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The suite is opened once per process at its first access, so each test runs in
// a process of its own and shapes the root before touching it.
using SettingsTest = testsupport::PlatformRootTest;

fs::path suitePlist()
{
    const std::string suite = appGroupSuiteName;
    return testsupport::homeFolder() / "Library/Group Containers" / suite / "Library/Preferences"
           / (suite + ".plist");
}

struct StoredValueCase {
    const char* key;
    platform::Value stored;
    bool readsBack;
};

} // namespace

TEST_F(SettingsTest, ValuesOfAnotherTypeThanTheTableReadAsMissing)
{
    if (!testsupport::inProcessOfItsOwn())
        return;
    const platform::Array mixedPaths = {platform::Value("/a"), platform::Value(5)};
    const platform::Array records = {platform::Value(platform::Dictionary{{"label", "x"}})};
    const std::vector<StoredValueCase> cases = {
        {SettingsKey::launchAutomatically, true, true},
        {SettingsKey::launchAutomatically, "true", false},
        {SettingsKey::launchAutomatically, 1, false},
        {SettingsKey::definitionsNewVersion, 2.5, true},
        {SettingsKey::definitionsNewVersion, 2, true},
        {SettingsKey::definitionsNewVersion, "2.5", false},
        {SettingsKey::totalDeceptiveAppsRemovedSoFar, 7, true},
        {SettingsKey::totalDeceptiveAppsRemovedSoFar, 7.5, false},
        {SettingsKey::lastScanDate, platform::Date(std::chrono::seconds(1700000000)), true},
        {SettingsKey::lastScanDate, "01/02/2024 10:00:00 AM", false},
        {SettingsKey::loginItemsUD, records, true},
        {SettingsKey::loginItemsUD, mixedPaths, false},
        {SettingsKey::ignoreAllPaths, platform::Array{}, true},
        {SettingsKey::ignoreAllPaths, mixedPaths, false},
        {SettingsKey::snoozeFor, false, false},
    };
    for (const auto& c : cases) {
        const SettingsKeyInfo* info = settingsKeyInfo(c.key);
        ASSERT_NE(info, nullptr) << c.key;
        platform::UserDefaults* store = settingsStore(info->store);
        ASSERT_NE(store, nullptr) << c.key;
        store->setObject(c.key, c.stored);
        const auto read = readSetting(c.key);
        EXPECT_EQ(read.has_value(), c.readsBack) << c.key;
        if (read) {
            EXPECT_EQ(*read, c.stored) << c.key;
        }
    }
    EXPECT_EQ(readSetting(SettingsKey::phoneNumber), std::nullopt) << "absent";
    EXPECT_EQ(readSetting("UnknownKeyBGX"), std::nullopt);
}

TEST_F(SettingsTest, WritesGoToTheKeysOwnStoreAndOnlyWithTheTablesType)
{
    if (!testsupport::inProcessOfItsOwn())
        return;
    ASSERT_NE(appGroupDefaults(), nullptr);
    EXPECT_EQ(appGroupDefaults(), appGroupDefaults());

    EXPECT_TRUE(writeSetting(SettingsKey::moveDeletedToTrash, false));
    EXPECT_TRUE(writeSetting(SettingsKey::scanOnAutoLaunch, false));
    EXPECT_FALSE(writeSetting(SettingsKey::isActiveProtectionEnabled, "yes"));
    EXPECT_FALSE(writeSetting("UnknownKeyBGX", true));

    // The agent opens the same suite file as a process of its own.
    const platform::UserDefaults agentView(suitePlist().string());
    EXPECT_EQ(agentView.boolean(SettingsKey::moveDeletedToTrash), false);
    EXPECT_EQ(agentView.object(SettingsKey::scanOnAutoLaunch), std::nullopt);
    EXPECT_EQ(agentView.object(SettingsKey::isActiveProtectionEnabled), std::nullopt);
    EXPECT_EQ(standardDefaults().boolean(SettingsKey::scanOnAutoLaunch), false);
    EXPECT_EQ(standardDefaults().object(SettingsKey::moveDeletedToTrash), std::nullopt);
}

TEST_F(SettingsTest, UnavailableSuiteSkipsEveryReadAndWrite)
{
    if (!testsupport::inProcessOfItsOwn())
        return;
    testsupport::plantFile(testsupport::homeFolder() / "Library/Group Containers", "not a folder");
    ASSERT_EQ(appGroupDefaults(), nullptr);
    EXPECT_EQ(settingsStore(SettingsStore::appGroup), nullptr);

    EXPECT_FALSE(writeSetting(SettingsKey::isCrashesProtectionEnabled, true));
    EXPECT_EQ(readSetting(SettingsKey::isCrashesProtectionEnabled), std::nullopt);
    EXPECT_TRUE(fs::is_regular_file(testsupport::homeFolder() / "Library/Group Containers"));

    EXPECT_TRUE(writeSetting(SettingsKey::launchAutomatically, false));
    EXPECT_EQ(readSetting(SettingsKey::launchAutomatically), platform::Value(false));
}

TEST(SettingsKeyTable, EveryKeyOnceAndOnlyTheSharedKeysInTheSuite)
{
    std::vector<std::string> suiteKeys;
    for (const auto& info : settingsKeyTable()) {
        EXPECT_EQ(settingsKeyInfo(info.key), &info) << info.key << " listed twice";
        if (info.store == SettingsStore::appGroup)
            suiteKeys.emplace_back(info.key);
        if (!info.startupDefault.isNull()) {
            EXPECT_TRUE(isSettingsValueOfType(info.startupDefault, info.type)) << info.key;
        }
    }
    EXPECT_EQ(suiteKeys.size(), 12u);
}
