#include "AgentTest.h"
#include "FullWatchTable.h"

#include "Agent/AlertNotifications.h"
#include "Agent/AlertedDownloads.h"
#include "Agent/DownloadTriage.h"
#include "Detection/SharedLists.h"
#include "Foundation/Settings.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Foundation/UserPaths.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
namespace K = SettingsKey;
using testsupport::homeFolder;

namespace {

using DownloadTriageTest = AgentTest;

std::vector<std::string> alertedPaths()
{
    std::vector<std::string> paths;
    if (const auto stored = standardDefaults().array(K::newDownloadPathsWithNags))
        for (const auto& entry : *stored)
            paths.push_back(*entry.asText());
    return paths;
}

const std::string* postedPath(const platform::Notification& post)
{
    return post.value<std::string>(AlertKey::newDownloadedItem);
}

TEST_F(DownloadTriageTest, AMatchingDownloadRenamedIntoDownloadsRaisesOneAlertAndIsListed)
{
    widgettest::NotificationRecorder alerts(AlertNotification::newDownloadedItem);
    startAgent();
    const auto path = renameInto(homeFolder() / "Downloads", "SnapfyreInstaller.dmg");

    ASSERT_TRUE(waitForPosts(alerts, 1));
    settle();
    ASSERT_EQ(alerts.received().size(), 1u);
    const auto& post = alerts.received().front();
    ASSERT_TRUE(postedPath(post));
    EXPECT_EQ(*postedPath(post), path.string());
    const auto* record = post.value<MalwareList>(AlertKey::detectedMalwareList);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->appName, "Snapfyre Search");
    EXPECT_EQ(alertedPaths(), std::vector<std::string>{path.string()});
    EXPECT_TRUE(delegate->alertWindows().windowController(AlertKind::download)->isVisible());
}

// An agent that ended (a logout, the application's force-quit) with download
// alerts open or waiting left their paths listed: the next agent alerts those that
// are still there and still match, and drops the rest from the list.
TEST_F(DownloadTriageTest, DownloadsLeftWaitingByTheLastAgentAreAlertedAgainByTheNext)
{
    const auto waiting = testsupport::plantFile(homeFolder() / "Downloads/SnapfyreInstaller.dmg");
    const auto bundle = homeFolder() / "Downloads/Qlorvex Mac Booster.app";
    fs::create_directories(bundle / "Contents");
    const auto unmatched = testsupport::plantFile(homeFolder() / "Downloads/holiday-photos.zip");
    const auto gone = homeFolder() / "Downloads/OrlundoInstaller.dmg";
    const std::vector<std::string> left{waiting.string(), gone.string(), bundle.string(), unmatched.string()};
    standardDefaults().setObject(K::newDownloadPathsWithNags, platform::Value(platform::Array(left.begin(), left.end())));
    widgettest::NotificationRecorder alerts(AlertNotification::newDownloadedItem);
    startAgent();

    ASSERT_TRUE(waitForPosts(alerts, 2));
    settle();
    std::vector<std::string> alerted;
    for (const auto& post : alerts.received())
        alerted.push_back(*postedPath(post));
    std::ranges::sort(alerted);
    const std::vector<std::string> expected{bundle.string(), waiting.string()};
    EXPECT_EQ(alerted, expected);
    auto listed = alertedPaths();
    std::ranges::sort(listed);
    EXPECT_EQ(listed, expected);
}

// Without records (no database yet) nothing listed can be judged again: the list
// is emptied all the same, so a later arrival at a listed path is not taken for an
// alert still open.
TEST_F(DownloadTriageTest, WithoutRecordsTheListLeftByTheLastAgentIsEmptiedAtTheStart)
{
    fs::remove(databasePath());
    const auto path = testsupport::plantFile(homeFolder() / "Downloads/SnapfyreInstaller.dmg");
    addAlertedDownloadPath(path.string());
    delegate = std::make_unique<AppDelegate>();
    delegate->startAgent();
    EXPECT_TRUE(alertedPaths().empty());
    settle();
    EXPECT_TRUE(alertedPaths().empty());
}

// A download that arrived while the system's watch table was full (another
// program held the watches) is alerted once its folder is watched.
TEST_F(DownloadTriageTest, ADownloadThatArrivedWhileTheWatchTableWasFullIsAlertedOnceItLifts)
{
    testsupport::FullWatchTable table;
    widgettest::NotificationRecorder alerts(AlertNotification::newDownloadedItem);
    testing::internal::CaptureStderr();
    startAgent();
    const auto path = renameInto(homeFolder() / "Downloads", "SnapfyreInstaller.dmg");
    settle();
    EXPECT_TRUE(alerts.received().empty());
    table.lift();

    ASSERT_TRUE(platform::dispatch::runMainLoopUntil([&] { return !alerts.received().empty(); },
                                                     std::chrono::seconds(15)))
        << "the folders left out are tried again every 5 seconds";
    settle();
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(alerts.received().size(), 1u);
    EXPECT_EQ(*postedPath(alerts.received().front()), path.string());
}

// Two events of one item that both pass the gate before either match is listed
// (a browser's rename seen twice, say): one alert, one entry.
TEST_F(DownloadTriageTest, TwoEventsOfOneItemBeforeItIsListedRaiseOneAlert)
{
    widgettest::NotificationRecorder alerts(AlertNotification::newDownloadedItem);
    startAgent();
    const auto path = testsupport::plantFile(homeFolder() / "Downloads/SnapfyreInstaller.dmg");
    const auto windows = std::make_shared<AlertWindows>();
    const DownloadTriage triage(windows);
    FileWatcherEvent renamed;
    renamed.path = path.string();
    renamed.flags = platform::fsevents::kItemRenamed | platform::fsevents::kItemIsFile;
    triage.downloadEvent(renamed);
    triage.downloadEvent(renamed);

    ASSERT_TRUE(waitForPosts(alerts, 1));
    settle();
    EXPECT_EQ(alerts.received().size(), 1u);
    EXPECT_EQ(alertedPaths(), std::vector<std::string>{path.string()});
}

// Each case does something that must raise nothing, then renames in a second
// matching download: the only alert is the second one's.
struct SilentDownload {
    const char* name;
    std::function<void()> act;
};

TEST_F(DownloadTriageTest, CopiesPartialDownloadsIgnoredAndAlertedPathsRaiseNothing)
{
    const auto downloads = homeFolder() / "Downloads";
    const std::vector<SilentDownload> cases{
        {"a plain copy", [&] { testsupport::plantFile(downloads / "SnapfyreInstaller.dmg"); }},
        {"inside a .download folder", [&] { renameInto(downloads / "Setup.download", "SnapfyreInstaller.dmg"); }},
        {"an ignored path",
         [&] {
             setSuiteValue(K::ignoreAllPaths, platform::Array{(downloads / "SnapfyreInstaller.dmg").string()});
             renameInto(downloads, "SnapfyreInstaller.dmg");
         }},
        {"below an ignored folder",
         [&] {
             setSuiteValue(K::ignoreAllPaths, platform::Array{(downloads / "Kept").string()});
             std::filesystem::create_directories(downloads / "Kept");
             settle();
             renameInto(downloads / "Kept", "SnapfyreInstaller.dmg");
         }},
        {"an alerted path",
         [&] {
             addAlertedDownloadPath((downloads / "SnapfyreInstaller.dmg").string());
             renameInto(downloads, "SnapfyreInstaller.dmg");
         }},
        {"active protection off",
         [&] {
             setSuiteValue(K::isActiveProtectionEnabled, false);
             renameInto(downloads, "SnapfyreInstaller.dmg");
             settle();
             setSuiteValue(K::isActiveProtectionEnabled, true);
         }},
        {"a name of four characters", [&] { renameInto(downloads, "Snap"); }},
        {"a .DS_Store", [&] { renameInto(downloads, ".DS_Store"); }},
    };
    for (const auto& silent : cases) {
        SetUp();
        widgettest::NotificationRecorder alerts(AlertNotification::newDownloadedItem);
        startAgent();
        silent.act();
        settle();
        const auto sentinel = renameInto(downloads, "OrlundoInstaller.dmg");
        ASSERT_TRUE(waitForPosts(alerts, 1)) << silent.name;
        settle();
        ASSERT_EQ(alerts.received().size(), 1u) << silent.name;
        EXPECT_EQ(*postedPath(alerts.received().front()), sentinel.string()) << silent.name;
        TearDown();
    }
}

TEST_F(DownloadTriageTest, AnApplicationCopiedIntoApplicationsIsMatchedByItsFolderEvent)
{
    widgettest::NotificationRecorder alerts(AlertNotification::newDownloadedItem);
    startAgent();
    const auto bundle = testsupport::underRoot("/Applications/Qlorvex Mac Booster.app");
    testsupport::plantFile(bundle / "Contents/Info.plist", "<plist/>");

    ASSERT_TRUE(waitForPosts(alerts, 1));
    EXPECT_EQ(*postedPath(alerts.received().front()), bundle.string());
}

TEST_F(DownloadTriageTest, ADownloadBeforeTheRecordsAreLoadedRaisesNothing)
{
    fs::remove(databasePath()); // the load finds nothing
    widgettest::NotificationRecorder alerts(AlertNotification::newDownloadedItem);
    delegate = std::make_unique<AppDelegate>();
    delegate->startAgent();
    renameInto(homeFolder() / "Downloads", "SnapfyreInstaller.dmg");
    settle(std::chrono::milliseconds(800));
    EXPECT_TRUE(alerts.received().empty());
}

// Every match reads the one list the load put in place; a reload swaps it whole
// while a reader keeps what it holds.
TEST_F(DownloadTriageTest, TheMatchesShareTheRecordsAndAReloadSwapsThemWhole)
{
    widgettest::NotificationRecorder alerts(AlertNotification::newDownloadedItem);
    startAgent();
    const auto loaded = malwareRecords().current();
    const auto downloads = homeFolder() / "Downloads";
    for (int i = 0; i < 50; ++i)
        renameInto(downloads, "unrelated" + std::to_string(i) + ".zip");
    renameInto(downloads, "SnapfyreInstaller.dmg");
    ASSERT_TRUE(waitForPosts(alerts, 1));
    EXPECT_EQ(malwareRecords().current(), loaded) << "the same list, not a copy";
    EXPECT_TRUE(platform::dispatch::runMainLoopUntil([&] { return loaded.use_count() == 2; }, std::chrono::seconds(5)))
        << "the matches let go of it: held here and by the list alone";

    malwareRecords().replace({});
    EXPECT_NE(malwareRecords().current(), loaded);
    EXPECT_FALSE(loaded->empty()) << "a reader keeps the list it holds";
}

MalwareList recordWithPaths(std::int64_t id, std::vector<std::optional<std::string>> shortPaths)
{
    MalwareList record;
    record.id = id;
    record.paths.emplace();
    for (auto& shortPath : shortPaths) {
        Paths row;
        row.shortPath = std::move(shortPath);
        record.paths->push_back(std::move(row));
    }
    return record;
}

TEST(DownloadNameMatch, TheStoredPathMustContainTheWholeNameCaseSensitively)
{
    const std::vector<MalwareList> records{
        recordWithPaths(1, {std::nullopt, "Tools/MySetup.app"}),
        recordWithPaths(2, {"Setup.app", "Setup.app/Contents", "Files/ÄÖÜß"}),
        recordWithPaths(3, {}),
    };
    struct Case {
        std::string name;
        std::optional<std::int64_t> hit;
    };
    for (const auto& [name, hit] : std::vector<Case>{{"Setup.app", 1},
                                                      {"setup.app", std::nullopt},
                                                      {"MySetup.app.zip", std::nullopt},
                                                      {"Setup", 1},
                                                      {"Setu", std::nullopt},
                                                      {"ÄÖÜß", std::nullopt}, // four characters in eight bytes
                                                      {"/ÄÖÜß", 2},
                                                      {"Contents", 2}}) {
        const auto record = recordMatchingDownloadName(name, records);
        EXPECT_EQ(record ? std::optional(record->id) : std::nullopt, hit) << name;
    }
}

} // namespace
