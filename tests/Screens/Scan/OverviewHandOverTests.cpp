#include "ScanScreenTest.h"

#include "FilePermissionsObeyed.h"
#include "ImmutableFolder.h"

#include "Foundation/IndexVocabularies.h"
#include "Foundation/Settings.h"
#include "Screens/Scan/OverviewViewController.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

MalwareList record(std::int64_t id, std::vector<Path> paths, std::vector<Publisher> publishers = {})
{
    MalwareList found;
    found.id = id;
    found.appName = "App " + std::to_string(id);
    found.sigInfo = "Adware";
    std::vector<Paths> rows;
    for (Path& path : paths)
        rows.push_back({0, id, 1, std::move(path), std::nullopt});
    found.paths = std::move(rows);
    found.publisher = std::move(publishers);
    return found;
}

std::vector<std::string> itemPaths(const ScanResult& row)
{
    std::vector<std::string> paths;
    for (const ScanResultItem& item : row.items.value_or(std::vector<ScanResultItem>{}))
        paths.push_back(item.path.value_or("<none>"));
    return paths;
}

class OverviewHandOver : public ScanScreenTest {
protected:
    void complete(std::vector<MalwareList> scanList)
    {
        platform::NotificationCenter::defaultCenter().post(
            "NotifyScanProcessCompleteBGX", {{"isScanCompleted", true}, {"scanList", std::move(scanList)}});
    }

    std::string home = testsupport::homeFolder().string();
    OverviewViewController overview;
    widgettest::NotificationRecorder containerSwitches{"ScanViewUpdateBGX"};
};

TEST_F(OverviewHandOver, ListsExistingRemovablePathsNotIgnoredAndKeepsRecordPositions)
{
    const std::string app = home + "/Applications/Some.app";
    fs::create_directories(app);
    const std::string support = testsupport::plantFile(home + "/Library/Application Support/Some/data").string();
    const std::string ignored = testsupport::plantFile(home + "/Downloads/Ignored.dmg").string();
    const std::string gone = home + "/Downloads/Gone.dmg";
    appGroupDefaults()->setObject(SettingsKey::ignoreAllPaths, platform::Array{ignored});

    complete({
        record(10, {{app, std::vector<std::string>{support, gone}}, {gone, std::nullopt}},
               {{1, 10, "A", "1.0", std::nullopt}, {2, 10, "B", std::nullopt, std::nullopt}}),
        record(11, {{ignored, std::nullopt}, {gone, std::nullopt}}),
        record(12, {{std::nullopt, std::vector<std::string>{support}}, {support, std::nullopt}}),
    });

    const auto rows = scanResults().snapshot();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].id, 0);
    EXPECT_EQ(rows[1].id, 2) << "ids are the records' positions, gaps kept";
    EXPECT_EQ(itemPaths(rows[0]), (std::vector<std::string>{app, support}));
    EXPECT_EQ(itemPaths(rows[1]), std::vector<std::string>{support}) << "a row without a path is skipped, sub-paths too";
    EXPECT_EQ(rows[0].company, "A, B");
    EXPECT_EQ(rows[0].version, "1.0");
    EXPECT_EQ(rows[0].title, "App 10");
    EXPECT_EQ(rows[0].subTitleLeft, "Threat:");
    EXPECT_EQ(rows[0].subTitleRight, "Adware");
    EXPECT_TRUE(rows[0].isParent && rows[0].isSelected && !rows[0].isShowDetails);
    ASSERT_TRUE(rows[0].malwareList);
    EXPECT_EQ(rows[0].malwareList->id, 10);

    ASSERT_EQ(containerSwitches.received().size(), 1u);
    const ScanMenu* menu = containerSwitches.received()[0].value<ScanMenu>(menuKey);
    ASSERT_NE(menu, nullptr) << "the container gets a typed value";
    EXPECT_EQ(*menu, ScanMenu::scanresult);
    EXPECT_TRUE(standardDefaults().date(SettingsKey::lastScanDate));
    EXPECT_TRUE(overview.lblLastScanDate->text().startsWith("IDS_BGX_13 "));
}

TEST_F(OverviewHandOver, AnEmptyOrMissingThreatShowsAsDeceptiveApp)
{
    const std::string app = home + "/Applications/Some.app";
    fs::create_directories(app);
    MalwareList empty = record(0, {{app, std::nullopt}});
    empty.sigInfo = "";
    MalwareList missing = record(1, {{app, std::nullopt}});
    missing.sigInfo.reset();
    complete({empty, missing, record(2, {{app, std::nullopt}})});
    const auto rows = scanResults().snapshot();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].subTitleRight, "Deceptive App");
    EXPECT_EQ(rows[1].subTitleRight, "Deceptive App");
    EXPECT_EQ(rows[2].subTitleRight, "Adware");
}

TEST_F(OverviewHandOver, AnExistingPathNeitherAnApplicationNorWritableIsLeftOut)
{
    const std::string locked = home + "/Library/Application Support/Locked";
    const std::string lockedApp = home + "/Applications/Locked.app";
    fs::create_directories(locked);
    fs::create_directories(lockedApp);
    const testsupport::ImmutableFolder lockedFolder(locked);
    const testsupport::ImmutableFolder lockedBundle(lockedApp);
    if (!lockedFolder.isSet() || !lockedBundle.isSet())
        GTEST_SKIP() << "this file system cannot make a folder unwritable for everyone";
    complete({record(1, {{locked, std::nullopt}, {lockedApp, std::nullopt}})});
    const auto rows = scanResults().snapshot();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(itemPaths(rows[0]), std::vector<std::string>{lockedApp}) << "an application bundle is listed all the same";
}

TEST_F(OverviewHandOver, AnEmptyScanEmptiesTheListAndStillSwitchesAndRecords)
{
    scanResults().replace({ScanResult{}});
    complete({});
    EXPECT_TRUE(scanResults().empty());
    EXPECT_EQ(containerSwitches.received().size(), 1u);
    EXPECT_TRUE(standardDefaults().date(SettingsKey::lastScanDate));
}

TEST_F(OverviewHandOver, AnIncompleteOrMalformedCompletionChangesNothing)
{
    scanResults().replace({ScanResult{}});
    const platform::UserInfo payloads[] = {
        {},
        {{"isScanCompleted", false}, {"scanList", std::vector<MalwareList>{}}},
        {{"isScanCompleted", 1}, {"scanList", std::vector<MalwareList>{}}},
        {{"isScanCompleted", true}},
        {{"isScanCompleted", true}, {"scanList", std::string("none")}},
    };
    for (const auto& payload : payloads)
        platform::NotificationCenter::defaultCenter().post("NotifyScanProcessCompleteBGX", payload);
    EXPECT_EQ(scanResults().size(), 1u);
    EXPECT_TRUE(containerSwitches.received().empty());
    EXPECT_FALSE(standardDefaults().object(SettingsKey::lastScanDate));
}

// The suite's file left to another user and not to be opened: the found items are
// listed, but none is ticked, since what the ignore list keeps is not known.
TEST_F(OverviewHandOver, NothingIsTickedWhileTheIgnoreListCannotBeRead)
{
    const std::string app = home + "/Applications/Some.app";
    fs::create_directories(app);
    testsupport::UnopenableFile unopenable(testsupport::plantFile(appGroupDefaults()->plistPath(), "{}"));
    const testsupport::FilePermissionsObeyed obeyed;
    if (!obeyed.isSet())
        GTEST_SKIP() << "this process cannot give up its file access override";
    complete({record(0, {{app, std::nullopt}})});
    const auto rows = scanResults().snapshot();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(itemPaths(rows[0]), std::vector<std::string>{app});
    EXPECT_FALSE(rows[0].isSelected);
}

} // namespace
