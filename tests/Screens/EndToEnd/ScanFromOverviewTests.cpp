#include "AppShellTest.h"

#include "App/AllViewControllers.h"
#include "App/AppDelegate.h"
#include "App/InitialWindowController.h"
#include "App/ViewController.h"
#include "Controls/FlatButton.h"
#include "Detection/Scan.h"
#include "Detection/SharedLists.h"
#include "Foundation/SharedState.h"
#include "Screens/Scan/OverviewViewController.h"
#include "Screens/Scan/ScanProcessViewController.h"
#include "Screens/Scan/ScanResultViewController.h"
#include "Screens/Scan/ScanViewController.h"
#include "WidgetTestSupport.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

using ScanFromOverview = AppShellTest;

// The items of two sample records: an application, a support folder, a download.
std::vector<std::string> plantSampleItems()
{
    const fs::path home = testsupport::homeFolder();
    const fs::path app = testsupport::underRoot("/Applications/Qlorvex Mac Booster.app");
    testsupport::plantFile(app / "Contents/Info.plist", "<plist/>");
    const fs::path support = home / "Library/Application Support/Snapfyre";
    testsupport::plantFile(support / "settings.dat", "cache");
    const fs::path download = testsupport::plantFile(home / "Downloads/SnapfyreInstaller.dmg", "installer");
    return {app.string(), support.string(), download.string()};
}

TEST_F(ScanFromOverview, ScanNowShowsProgressAndHandsThePlantedItemsToTheResults)
{
    const std::vector<std::string> planted = plantSampleItems();
    AppDelegate::shared().applicationWillFinishLaunching();
    ViewController& content = AllViewControllers::initialWindowController().contentViewController();
    OverviewViewController& overview = AllViewControllers::overviewViewController();
    ASSERT_EQ(overview.parentWidget(), content.containerView.data()) << "the window opens on the Overview";

    ScanProcessViewController& progress = AllViewControllers::scanProcessViewController();
    std::vector<QString> countsSeen;
    const platform::ObservationToken watch = platform::NotificationCenter::defaultCenter().addObserver(
        "NotifyScanProcessBGX", [&](const platform::Notification&) {
            if (!progress.isVisible())
                return;
            if (countsSeen.empty() || !countsSeen.back().startsWith("Objects scanned: "))
                widgettest::saveGrab(content, "main-window-scanning");
            countsSeen.push_back(progress.lblObjectScanned->text());
        });
    widgettest::saveGrab(content, "main-window-overview");

    overview.btnStartScanNow->click();
    ScanViewController& container = AllViewControllers::scanViewController();
    EXPECT_EQ(container.parentWidget(), content.containerView.data()) << "the scan screen is shown";
    EXPECT_EQ(progress.parentWidget(), container.containerView.data()) << "with its progress child";

    ASSERT_TRUE(platform::dispatch::runMainLoopUntil([] { return !Scan::shared().isScanRunning && !scanResults().empty(); },
                                                     std::chrono::seconds(60)));
    EXPECT_TRUE(std::any_of(countsSeen.begin(), countsSeen.end(), [](const QString& shown) {
        return shown.startsWith("Objects scanned: ") && shown != "Objects scanned: 0";
    })) << "live progress was shown";

    EXPECT_EQ(AllViewControllers::scanResultViewController().parentWidget(), container.containerView.data())
        << "the completed scan is handed to the results";
    std::vector<std::string> titles;
    std::vector<std::string> listed;
    for (const ScanResult& row : scanResults().snapshot()) {
        titles.push_back(row.title);
        for (const ScanResultItem& item : row.items.value_or(std::vector<ScanResultItem>{}))
            listed.push_back(item.path.value_or(""));
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"Qlorvex Mac Booster", "Snapfyre Search"}));
    for (const std::string& path : planted)
        EXPECT_NE(std::find(listed.begin(), listed.end(), path), listed.end()) << path;
    EXPECT_TRUE(overview.lblLastScanDate->text().startsWith("Last scan: "));
    QApplication::processEvents();
    widgettest::saveGrab(content, "main-window-scan-handed-to-results");
}

} // namespace
