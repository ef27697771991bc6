#include "AppShellTest.h"

#include "../../Platform/Workspace/PlantedApplication.h"

#include "App/AllViewControllers.h"
#include "App/AppDelegate.h"
#include "App/InitialWindowController.h"
#include "App/ViewController.h"
#include "Controls/FlatButton.h"
#include "Detection/Clean.h"
#include "Detection/Scan.h"
#include "Detection/SharedLists.h"
#include "Foundation/Settings.h"
#include "Foundation/SharedState.h"
#include "Platform/FileManager/FileManager.h"
#include "ScreenSeams.h"
#include "Screens/Scan/CleanProcessViewController.h"
#include "Screens/Scan/OverviewViewController.h"
#include "Screens/Scan/ScanResultViewController.h"
#include "Screens/Scan/ScanViewController.h"
#include "WidgetTestSupport.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::int64_t removedSoFar()
{
    return standardDefaults().integer(SettingsKey::totalDeceptiveAppsRemovedSoFar).value_or(0);
}

std::int64_t foundItems()
{
    std::int64_t found = 0;
    for (const ScanResult& row : scanResults().snapshot())
        found += static_cast<std::int64_t>(row.items.value_or(std::vector<ScanResultItem>{}).size());
    return found;
}

// The items of two sample records planted, the application launched and a scan from
// the Overview run to its results.
class CleanFromResults : public AppShellTest {
protected:
    void launchAndScan()
    {
        const fs::path home = testsupport::homeFolder();
        app = testsupport::plantFile(testsupport::underRoot("/Applications/Qlorvex Mac Booster.app") /
                                         "Contents/Info.plist", "<plist/>")
                  .parent_path()
                  .parent_path();
        support = home / "Library/Application Support/Snapfyre";
        testsupport::plantFile(support / "settings.dat", "cache");
        download = testsupport::plantFile(home / "Downloads/SnapfyreInstaller.dmg", "installer");

        AppDelegate::shared().applicationWillFinishLaunching();
        AllViewControllers::overviewViewController().btnStartScanNow->click();
        ASSERT_TRUE(platform::dispatch::runMainLoopUntil(
            [&] { return !Scan::shared().isScanRunning && results().parentWidget() == container().containerView.data(); },
            60s));
        ASSERT_EQ(foundItems(), 5) << "the three planted items and the two files the records name inside them";
        ASSERT_TRUE(results().btnCleanNow->isEnabled()) << "a fresh result list is all selected";
    }

    // Answers Clean Now's sheet with Yes and waits for the clean's result.
    void confirmAndCleanToEnd()
    {
        seams.answerSheet(alertFirstButtonReturn);
        EXPECT_EQ(clean().parentWidget(), container().containerView.data()) << "the clean screen follows the start";
        ASSERT_TRUE(platform::dispatch::runMainLoopUntil(
            [&] { return clean().boxCleanResult->isVisible() && !Clean::shared().isCleanRunning; }, 60s));
        const fs::path trash = platform::userTrashPath();
        for (const fs::path& item : {app, support, download}) {
            EXPECT_FALSE(fs::exists(item)) << item;
            EXPECT_TRUE(fs::exists(trash / item.filename())) << item.filename();
        }
        EXPECT_EQ(clean().lblDeceptiveAppItemsDeleted->text(), "5 items removed");
    }

    static ViewController& content() { return AllViewControllers::initialWindowController().contentViewController(); }
    static ScanResultViewController& results() { return AllViewControllers::scanResultViewController(); }
    static CleanProcessViewController& clean() { return AllViewControllers::cleanProcessViewController(); }
    static ScanViewController& container() { return AllViewControllers::scanViewController(); }

    screentest::ScreenSeams seams;
    fs::path app, support, download;
};

// Clean Now, confirmed, moves the findings to the Trash, the result counts them, and
// Home shows the Overview with the new removed total.
TEST_F(CleanFromResults, CleanNowMovesTheFindingsToTheTrashAndHomeShowsTheNewTotal)
{
    const std::int64_t removedBefore = removedSoFar();
    ASSERT_NO_FATAL_FAILURE(launchAndScan());
    widgettest::saveGrab(content(), "main-window-scan-results");

    results().btnCleanNow->click();
    ASSERT_TRUE(seams.sheetPending());
    ASSERT_NO_FATAL_FAILURE(confirmAndCleanToEnd());
    EXPECT_EQ(clean().lblCleanupStatus->text(), "Cleanup complete");
    EXPECT_EQ(clean().lblYouNowHaveDeceptiveAppItems->text(), "You now have 0 deceptive app items left.");
    EXPECT_TRUE(clean().btnHome->isVisible());
    EXPECT_FALSE(isCleanInProgress);
    EXPECT_TRUE(scanResults().empty());
    // The two files inside the planted items went with them: three removals.
    EXPECT_EQ(removedSoFar(), removedBefore + 3);
    widgettest::saveGrab(content(), "main-window-clean-result");

    clean().btnHome->click();
    OverviewViewController& overview = AllViewControllers::overviewViewController();
    EXPECT_EQ(overview.parentWidget(), content().containerView.data()) << "Home shows the Overview";
    EXPECT_TRUE(overview.lblTotalDeceptiveAppsRemoved->text().startsWith(QString::number(removedBefore + 3) + " "))
        << overview.lblTotalDeceptiveAppsRemoved->text().toStdString();
    widgettest::saveGrab(content(), "main-window-overview-after-clean");
}

// A finding that declares the agent's identifier: Clean Now quits the finding's own
// running copy and leaves the agent running.
TEST_F(CleanFromResults, CleanNowQuitsOnlyWhatRunsFromTheFindingNeverTheAgent)
{
    ASSERT_NO_FATAL_FAILURE(launchAndScan());
    ASSERT_TRUE(waitForAgent([](const std::vector<pid_t>& agents) { return agents.size() == 1; }));
    const pid_t agent = runningAgents().front();
    testsupport::plantApplication(app, {{"CFBundleIdentifier", "com.tarnwicklabs.activeguardsentinelwarden"},
                                        {"LSUIElement", true}});
    testsupport::RunningCopy finding(app);
    ASSERT_TRUE(finding.started());

    results().btnCleanNow->click();
    ASSERT_NO_FATAL_FAILURE(confirmAndCleanToEnd());
    EXPECT_EQ(finding.waitForExit(), SIGKILL);
    EXPECT_EQ(runningAgents(), std::vector<pid_t>{agent});
}

// With the Trash a link to a folder outside the root, Clean Now moves nothing there:
// every finding stays where it was.
TEST_F(CleanFromResults, CleanNowMovesNothingThroughATrashThatIsALink)
{
    ASSERT_NO_FATAL_FAILURE(launchAndScan());
    const fs::path root = testsupport::platformRootFolder();
    const fs::path outside = root.parent_path() / (root.filename().string() + "-elsewhere");
    fs::create_directories(outside);
    fs::remove_all(platform::userTrashPath());
    fs::create_directory_symlink(outside, platform::userTrashPath());

    results().btnCleanNow->click();
    seams.answerSheet(alertFirstButtonReturn);
    ASSERT_TRUE(platform::dispatch::runMainLoopUntil(
        [&] { return clean().boxCleanResult->isVisible() && !Clean::shared().isCleanRunning; }, 60s));
    for (const fs::path& item : {app, support, download})
        EXPECT_TRUE(fs::exists(item)) << item;
    EXPECT_TRUE(fs::is_empty(outside));
    fs::remove_all(outside);
}

// The agent's Scan Now and the sidebar wait while Clean Now's sheet is open: a scan
// started under it would empty the list the user is confirming.
TEST_F(CleanFromResults, TheAgentsScanRequestAndTheSidebarLeaveAnOpenCleanNowSheetAlone)
{
    ASSERT_NO_FATAL_FAILURE(launchAndScan());
    results().btnCleanNow->click();
    ASSERT_TRUE(seams.sheetPending());

    AppDelegate::shared().scanRunningFromCrashes();
    content().clickedOverviewMenu();
    platform::dispatch::runMainLoopFor(200ms);
    EXPECT_FALSE(Scan::shared().isScanRunning);
    EXPECT_EQ(foundItems(), 5);
    EXPECT_EQ(container().parentWidget(), content().containerView.data()) << "the sidebar choice is dropped";

    ASSERT_NO_FATAL_FAILURE(confirmAndCleanToEnd());
    EXPECT_TRUE(scanResults().empty());
}

} // namespace
