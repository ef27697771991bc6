#include "ScanScreenTest.h"

#include "Controls/FlatButton.h"
#include "Foundation/Settings.h"
#include "Screens/Scan/OverviewViewController.h"
#include "Screens/Scan/ScanProcessViewController.h"

#include <QAbstractAnimation>
#include <QApplication>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace K = SettingsKey;

namespace {

// Each screen in the product's texts, colours and images, at the main window's
// content size, saved to <build>/grabs for a person to look at.
class ScanScreenGrabs : public ScanScreenTest {
protected:
    void SetUp() override
    {
        ScanScreenTest::SetUp();
        useEnglishTable();
    }
};

TEST_F(ScanScreenGrabs, OverviewWithThePanelClosedAndOpen)
{
    appGroupDefaults()->setBool(K::isActiveProtectionEnabled, true);
    appGroupDefaults()->setBool(K::isStartupProtectionEnabled, false);
    standardDefaults().setBool(K::isDefinitionsAreUpToDate, false);
    standardDefaults().setDouble(K::definitionsOldVersion, 1.0);
    standardDefaults().setDouble(K::definitionsNewVersion, 2.5);
    standardDefaults().setInteger(K::totalDeceptiveAppsRemovedSoFar, 3);
    standardDefaults().setObject(K::lastScanDate, platform::Value(platform::Date(std::chrono::system_clock::now())));

    OverviewViewController overview;
    host(overview);
    overview.showHardware("Hardware:\n      Processor Name: AMD EPYC 7763 64-Core Processor\n"
                          "      Processor Speed: 2.45 GHz\nGraphics/Displays:\n"
                          "      Chipset Model: Acme Corp Rocket GPU\n      VRAM (Dynamic, Max): 2 GB\n");
    overview.viewWillAppear();
    overview.viewDidAppear();
    EXPECT_EQ(overview.btnDefinationStatusValue->text(), "New definitions available: 2.5");
    QApplication::processEvents(); // the restyled status titles settle, as under the event loop
    widgettest::saveGrab(overview, "overview");

    overview.btnSystemInfo->click();
    overview.boxsysteminfo->findChild<QAbstractAnimation*>("SwitchToView1")->setCurrentTime(200);
    widgettest::saveGrab(overview, "overview-system-information");

    // The open panel, with its shadow, ends every status line's text, and its button
    // lies on no card.
    const QRect panel = overview.boxsysteminfo->geometry().adjusted(-10, 0, 0, 0);
    for (QPushButton* status : {overview.btnActiveProtectionValue, overview.btnDefinationStatusValue}) {
        const int textEnd = status->mapTo(&overview, QPoint(status->fontMetrics().horizontalAdvance(status->text()), 0)).x();
        EXPECT_LT(textEnd, panel.left()) << status->text().toStdString();
    }
    for (const char* card : {"boxgradient", "boxStatus"})
        EXPECT_FALSE(overview.findChild<QWidget*>(card)->geometry().intersects(overview.btnSystemInfo->geometry())) << card;
}

TEST_F(ScanScreenGrabs, ScanProgressWhileScanningAndItsStopSheet)
{
    ScanProcessViewController screen;
    host(screen);
    platform::NotificationCenter::defaultCenter().post(
        "NotifyScanProcessBGX",
        {{"totalFound", std::int64_t{2}},
         {"path", testsupport::homeFolder().string() + "/Library/Application Support/Qlorvex/cache/settings.dat"},
         {"objectsScanned", std::int64_t{1843}},
         {"percentage", 42.0}});
    widgettest::saveGrab(screen, "scan-progress");

    screen.btnStopScan->click();
    seams.answerSheet(alertSecondButtonReturn);

    setSheetPresenter({});
    screen.btnStopScan->click();
    widgettest::saveGrab(window, "scan-progress-stop-dimmed");
    const auto boxes = window.findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 1);
    widgettest::saveGrab(*boxes.front(), "scan-progress-stop-sheet");
    boxes.front()->buttons().at(1)->click();
    EXPECT_FALSE(Scan::shared().isPaused);
    EXPECT_FALSE(dimmingOverlay());

    platform::NotificationCenter::defaultCenter().post("NotifyScanProcessCompleteBGX", {{"isScanCompleted", false}});
    widgettest::saveGrab(screen, "scan-incomplete");
}

} // namespace
