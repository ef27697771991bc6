#include "AppShellTest.h"

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

using CleanFromResults = AppShellTest;

std::int64_t removedSoFar()
{
    return standardDefaults().integer(SettingsKey::totalDeceptiveAppsRemovedSoFar).value_or(0);
}

// A scan from the Overview finds the planted items of two sample records; Clean Now,
// confirmed, moves them all to the Trash, the result counts them, and Home shows the
// Overview with the new removed total.
TEST_F(CleanFromResults, CleanNowMovesTheFindingsToTheTrashAndHomeShowsTheNewTotal)
{
    const fs::path home = testsupport::homeFolder();
    const fs::path app = testsupport::plantFile(testsupport::underRoot("/Applications/Qlorvex Mac Booster.app") /
                                                "Contents/Info.plist", "<plist/>")
                             .parent_path()
                             .parent_path();
    const fs::path support = home / "Library/Application Support/Snapfyre";
    testsupport::plantFile(support / "settings.dat", "cache");
    const fs::path download = testsupport::plantFile(home / "Downloads/SnapfyreInstaller.dmg", "installer");

    screentest::ScreenSeams seams;
    AppDelegate::shared().applicationWillFinishLaunching();
    ViewController& content = AllViewControllers::initialWindowController().contentViewController();
    OverviewViewController& overview = AllViewControllers::overviewViewController();
    ScanResultViewController& results = AllViewControllers::scanResultViewController();
    CleanProcessViewController& clean = AllViewControllers::cleanProcessViewController();
    ScanViewController& container = AllViewControllers::scanViewController();
    const std::int64_t removedBefore = removedSoFar();

    overview.btnStartScanNow->click();
    ASSERT_TRUE(platform::dispatch::runMainLoopUntil(
        [&] { return !Scan::shared().isScanRunning && results.parentWidget() == container.containerView.data(); }, 60s));
    std::int64_t found = 0;
    for (const ScanResult& row : scanResults().snapshot())
        found += static_cast<std::int64_t>(row.items.value_or(std::vector<ScanResultItem>{}).size());
    ASSERT_EQ(found, 5) << "the three planted items and the two files the records name inside them";
    ASSERT_TRUE(results.btnCleanNow->isEnabled()) << "a fresh result list is all selected";
    widgettest::saveGrab(content, "main-window-scan-results");

    results.btnCleanNow->click();
    ASSERT_TRUE(seams.sheetPending());
    seams.answerSheet(alertFirstButtonReturn);
    EXPECT_EQ(clean.parentWidget(), container.containerView.data()) << "the clean screen follows the start";
    ASSERT_TRUE(platform::dispatch::runMainLoopUntil(
        [&] { return clean.boxCleanResult->isVisible() && !Clean::shared().isCleanRunning; }, 60s));

    const fs::path trash = platform::userTrashPath();
    for (const fs::path& item : {app, support, download}) {
        EXPECT_FALSE(fs::exists(item)) << item;
        EXPECT_TRUE(fs::exists(trash / item.filename())) << item.filename();
    }
    EXPECT_EQ(clean.lblCleanupStatus->text(), "Cleanup complete");
    EXPECT_EQ(clean.lblDeceptiveAppItemsDeleted->text(), "5 items removed");
    EXPECT_EQ(clean.lblYouNowHaveDeceptiveAppItems->text(), "You now have 0 deceptive app items left.");
    EXPECT_TRUE(clean.btnHome->isVisible());
    EXPECT_FALSE(isCleanInProgress);
    EXPECT_TRUE(scanResults().empty());
    // The two files inside the planted items went with them: three removals.
    EXPECT_EQ(removedSoFar(), removedBefore + 3);
    widgettest::saveGrab(content, "main-window-clean-result");

    clean.btnHome->click();
    EXPECT_EQ(overview.parentWidget(), content.containerView.data()) << "Home shows the Overview";
    EXPECT_TRUE(overview.lblTotalDeceptiveAppsRemoved->text().startsWith(QString::number(removedBefore + 3) + " "))
        << overview.lblTotalDeceptiveAppsRemoved->text().toStdString();
    widgettest::saveGrab(content, "main-window-overview-after-clean");
}

} // namespace
