#include "ScanScreenTest.h"

#include "Controls/FlatButton.h"
#include "Foundation/IndexVocabularies.h"
#include "Foundation/Settings.h"
#include "Foundation/UserPaths.h"
#include "Screens/Scan/OverviewViewController.h"
#include "Screens/Common/ThrottledRepaint.h"
#include "Screens/Scan/ScanProcessViewController.h"

#include "AccessibleEventLog.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

class ScanProgress : public ScanScreenTest {
protected:
    void SetUp() override
    {
        ScanScreenTest::SetUp();
        host(screen);
    }

    static void post(std::int64_t found, std::string path, std::int64_t scanned, double percentage)
    {
        platform::NotificationCenter::defaultCenter().post("NotifyScanProcessBGX", {{"totalFound", found},
                                                                                    {"path", std::move(path)},
                                                                                    {"objectsScanned", scanned},
                                                                                    {"percentage", percentage}});
    }

    // One post, shown once the repaint interval has run out.
    static void progress(std::int64_t found, std::string path, std::int64_t scanned, double percentage)
    {
        post(found, std::move(path), scanned, percentage);
        platform::dispatch::runMainLoopFor(ThrottledRepaint::interval);
    }

    ScanProcessViewController screen;
};

// No definitions to read: in place of the installed database a folder, which neither
// reads as one nor can be replaced by the shipped copy.
class UnreadableDefinitionsScan : public ScanProgress {
protected:
    void SetUp() override
    {
        ScanProgress::SetUp();
        testsupport::plantFile(fs::path(databasePath()) / "not-a-database", "x");
    }

    static bool scanToEnd()
    {
        return platform::dispatch::runMainLoopUntil([] { return !Scan::shared().isScanRunning; }, 30s)
            && platform::dispatch::runMainLoopUntil([] { return false; }, 50ms);
    }
};

TEST_F(UnreadableDefinitionsScan, TheProgressScreenSaysTheScanIsOverAndOffersHomeAndRescan)
{
    OverviewViewController overview; // hands completed scans over to the results
    widgettest::NotificationRecorder switches("ScanViewUpdateBGX");
    widgettest::NotificationRecorder menus("MenuSelectionBGX");
    Scan::shared().startScan();
    testing::internal::CaptureStdout();
    scanToEnd();
    testing::internal::GetCapturedStdout();

    EXPECT_EQ(screen.lblScanningForDeceptiveApps->text(), "IDS_BGX_265");
    EXPECT_EQ(screen.lblTotalItemsFound->text(), "IDS_BGX_266");
    EXPECT_EQ(screen.lblPath->text(), "");
    EXPECT_EQ(screen.lblObjectScanned->text(), "");
    EXPECT_EQ(screen.progressIndicator->value(), 0);
    EXPECT_FALSE(screen.btnStopScan->isVisible());
    EXPECT_TRUE(screen.btnHome->isVisible());
    EXPECT_TRUE(screen.btnRescan->isVisible());
    EXPECT_FALSE(standardDefaults().object(SettingsKey::lastScanDate)) << "no scan date for a scan that did not complete";
    for (const platform::Notification& each : switches.received())
        EXPECT_NE(*each.value<ScanMenu>(menuKey), ScanMenu::scanresult) << "no results for it";

    screen.btnHome->click();
    ASSERT_FALSE(menus.received().empty());
    EXPECT_EQ(*menus.received().back().value<Menu>(menuKey), Menu::overview);

    // The new scan's progress puts the running screen back, and its end the
    // incomplete box again: what the screen shows at each progress post is recorded.
    std::vector<bool> incompleteAtProgress;
    const auto progressToken = platform::NotificationCenter::defaultCenter().addObserver(
        "NotifyScanProcessBGX", [&](const auto&) { incompleteAtProgress.push_back(screen.boxScanIncomplete->isVisible()); });
    screen.btnRescan->click();
    EXPECT_TRUE(Scan::shared().isScanRunning);
    testing::internal::CaptureStdout();
    scanToEnd();
    testing::internal::GetCapturedStdout();
    ASSERT_FALSE(incompleteAtProgress.empty()) << "the new scan reports progress";
    EXPECT_FALSE(incompleteAtProgress.front()) << "its progress puts the running screen back";
    EXPECT_TRUE(screen.btnRescan->isVisible()) << "the definitions are still unreadable";
}

TEST_F(ScanProgress, StartsWithItsInitialTexts)
{
    EXPECT_EQ(screen.lblTotalItemsFound->text(), "0 IDS_BGX_51");
    EXPECT_EQ(screen.lblScanningForDeceptiveApps->text(), "IDS_BGX_50");
    EXPECT_EQ(screen.btnStopScan->text(), "IDS_BGX_53");
}

TEST_F(ScanProgress, ShowsFindingsPathCountAndPercentage)
{
    const struct {
        std::int64_t found;
        const char* path;
        std::int64_t scanned;
        double percentage;
        const char* findings;
        const char* shownPath;
        const char* objects;
        int bar;
    } steps[] = {
        {0, "/a/one", 5, 12.4, "0 IDS_BGX_43 IDS_BGX_54", "/a/one", "IDS_BGX_52 5", 124},
        {1, "", 6, 50.0, "1 IDS_BGX_44 IDS_BGX_54", "/a/one", "IDS_BGX_52 6", 500},
        {2, "/a/two", 0, 60.0, "2 IDS_BGX_43 IDS_BGX_54", "/a/two", "IDS_BGX_203", 600},
        {3, "/a/three", 1234, 99.6, "3 IDS_BGX_43 IDS_BGX_54", "/a/three", "IDS_BGX_52 1234", 996},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.findings);
        progress(step.found, step.path, step.scanned, step.percentage);
        EXPECT_EQ(screen.lblTotalItemsFound->text(), step.findings);
        EXPECT_EQ(screen.lblPath->text(), step.shownPath);
        EXPECT_EQ(screen.lblObjectScanned->text(), step.objects);
        EXPECT_EQ(screen.progressIndicator->value(), step.bar);
    }
}

TEST_F(ScanProgress, PreparingHidesStopAndTheTitlesUntilTheFirstFile)
{
    progress(0, "", -1, 0.0);
    EXPECT_TRUE(screen.btnStopScan->isHidden());
    EXPECT_EQ(screen.lblScanningForDeceptiveApps->text(), "");
    EXPECT_EQ(screen.lblTotalItemsFound->text(), "");
    EXPECT_EQ(screen.lblObjectScanned->text(), "IDS_BGX_214");
    progress(0, "/first", 1, 1.0);
    EXPECT_FALSE(screen.btnStopScan->isHidden());
    EXPECT_EQ(screen.lblScanningForDeceptiveApps->text(), "IDS_BGX_50");
    EXPECT_EQ(screen.lblTotalItemsFound->text(), "0 IDS_BGX_43 IDS_BGX_54");
}

// A keyboard user on Stop keeps the keyboard on the screen when Stop goes: on the bar
// while the definitions are checked, back on Stop when it returns with the first file,
// on Rescan when the scan could not be completed; one focus event for each move, and
// none while the main control stays.
TEST_F(ScanProgress, TheKeyboardFollowsTheMainControlAsStopGoesAndComes)
{
    screen.show();
    screen.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&screen));
    screen.btnStopScan->setFocus(Qt::TabFocusReason);
    const widgettest::AccessibleEventLog reader;
    const auto focusMoves = [&] {
        std::vector<QObject*> targets;
        for (const auto& event : reader.of(QAccessible::Focus, screen))
            targets.push_back(event.object);
        return targets;
    };

    progress(0, "", -1, 0.0);
    progress(0, "", -1, 0.0);
    EXPECT_EQ(QApplication::focusWidget(), screen.progressIndicator);
    progress(0, "/first", 1, 1.0);
    EXPECT_EQ(QApplication::focusWidget(), screen.btnStopScan) << "Stop takes the keyboard back when it returns";
    progress(0, "/second", 2, 2.0);
    platform::NotificationCenter::defaultCenter().post("NotifyScanProcessCompleteBGX", {{"isScanCompleted", false}});
    EXPECT_EQ(QApplication::focusWidget(), screen.btnRescan);
    EXPECT_EQ(focusMoves(), (std::vector<QObject*>{screen.progressIndicator, screen.btnStopScan, screen.btnRescan}));
}

TEST_F(ScanProgress, AProgressWithAMissingOrMistypedValueIsIgnored)
{
    progress(2, "/kept", 7, 40.0);
    const platform::UserInfo bad[] = {
        {{"totalFound", std::int64_t{1}}, {"path", std::string("/x")}, {"objectsScanned", std::string("9")},
         {"percentage", 90.0}},
        {{"totalFound", 1}, {"path", std::string("/x")}, {"objectsScanned", std::int64_t{9}}, {"percentage", 90.0}},
        {{"totalFound", std::int64_t{1}}, {"objectsScanned", std::int64_t{9}}, {"percentage", 90.0}},
        {{"totalFound", std::int64_t{1}}, {"path", std::string("/x")}, {"objectsScanned", std::int64_t{9}},
         {"percentage", 90}},
    };
    for (const auto& userInfo : bad)
        platform::NotificationCenter::defaultCenter().post("NotifyScanProcessBGX", userInfo);
    EXPECT_EQ(screen.lblPath->text(), "/kept");
    EXPECT_EQ(screen.lblObjectScanned->text(), "IDS_BGX_52 7");
    EXPECT_EQ(screen.progressIndicator->value(), 400);
}

TEST_F(ScanProgress, ACompletedScanResetsTheLabels)
{
    progress(2, "/a", 7, 40.0);
    platform::NotificationCenter::defaultCenter().post("NotifyScanProcessCompleteBGX");
    platform::NotificationCenter::defaultCenter().post("NotifyScanProcessCompleteBGX", {{"isScanCompleted", 0}});
    EXPECT_EQ(screen.lblPath->text(), "/a") << "a completion without its Boolean changes nothing";
    platform::NotificationCenter::defaultCenter().post("NotifyScanProcessCompleteBGX", {{"isScanCompleted", true}});
    EXPECT_EQ(screen.lblTotalItemsFound->text(), "0 IDS_BGX_51");
    EXPECT_EQ(screen.lblPath->text(), "");
    EXPECT_EQ(screen.lblObjectScanned->text(), "IDS_BGX_52 0");
    EXPECT_EQ(screen.progressIndicator->value(), 0);
}

TEST_F(ScanProgress, AnIncompleteScanShowsTheAttentionShieldWithoutTheBarUntilTheNextProgress)
{
    const auto shield = [this] { return screen.imgViewScanning->property("imageName").toString(); };
    EXPECT_EQ(shield(), "AppIcon");
    platform::NotificationCenter::defaultCenter().post("NotifyScanProcessCompleteBGX", {{"isScanCompleted", false}});
    EXPECT_EQ(shield(), "AttentionShield");
    EXPECT_TRUE(screen.progressIndicator->isHidden());
    progress(0, "/first", 1, 1.0);
    EXPECT_EQ(shield(), "AppIcon");
    EXPECT_FALSE(screen.progressIndicator->isHidden());
}

TEST_F(ScanProgress, StopPausesAsksOverTheDimmedWindowAndStopsOrGoesOn)
{
    const struct {
        int response;
        bool aborted;
    } answers[] = {{alertSecondButtonReturn, false}, {alertFirstButtonReturn, true}};
    for (const auto& answer : answers) {
        SCOPED_TRACE(answer.response);
        Scan::shared().isAborted = false;
        screen.btnStopScan->click();
        EXPECT_TRUE(Scan::shared().isPaused);
        ASSERT_TRUE(seams.sheetPending());
        EXPECT_TRUE(dimmingOverlay());
        const AlertContent& sheet = seams.sheets.back();
        EXPECT_EQ(sheet.messageText, "IDS_BGX_53?");
        EXPECT_EQ(sheet.informativeText, "IDS_BGX_55");
        EXPECT_EQ(sheet.buttons, (std::vector<std::string>{"IDS_BGX_56", "IDS_BGX_57"}));
        EXPECT_EQ(sheet.style, AlertStyle::warning);
        seams.answerSheet(answer.response);
        EXPECT_EQ(Scan::shared().isAborted, answer.aborted);
        EXPECT_FALSE(Scan::shared().isPaused);
        EXPECT_FALSE(dimmingOverlay());
    }
}

TEST_F(ScanProgress, StopReusesAnOverlayLeftUpAndTakesItDown)
{
    QWidget* left = &CustomAnimator::putUpDimmingOverlay(screen);
    screen.btnStopScan->click();
    EXPECT_EQ(dimmingOverlay(), left);
    seams.answerSheet(alertSecondButtonReturn);
    EXPECT_FALSE(dimmingOverlay());
}

// One post comes per file: a screen reader hears the labels change at the repaint
// rate, not once per file, and the last post is shown.
TEST_F(ScanProgress, ManyPostsChangeTheLabelsAtTheRepaintRateNotPerPost)
{
    constexpr int posts = 20000;
    widgettest::AccessibleEventLog events;
    const auto start = std::chrono::steady_clock::now();
    for (int file = 1; file <= posts; ++file) {
        post(file / 1000, "/walked/" + std::to_string(file), file, file * 100.0 / posts);
        if (file % 500 == 0)
            platform::dispatch::drainMainQueue(); // a repaint falls due now and then, as in a scan
    }
    platform::dispatch::runMainLoopFor(ThrottledRepaint::interval * 2);
    const auto took = std::chrono::steady_clock::now() - start;

    const auto repaints = took / ThrottledRepaint::interval + 2;
    const auto nameChanges = events.of(QAccessible::NameChanged, screen).size();
    EXPECT_GT(nameChanges, 0u);
    EXPECT_LE(nameChanges, 4 * static_cast<std::size_t>(repaints)) << "four labels, over " << repaints << " repaints";
    EXPECT_LE(events.of(QAccessible::ValueChanged, screen).size(), static_cast<std::size_t>(repaints));
    EXPECT_EQ(screen.lblPath->text(), "/walked/20000");
    EXPECT_EQ(screen.lblObjectScanned->text(), "IDS_BGX_52 20000");
    EXPECT_EQ(screen.lblTotalItemsFound->text(), "20 IDS_BGX_43 IDS_BGX_54");
    EXPECT_EQ(screen.progressIndicator->value(), 1000);
}

TEST_F(ScanProgress, ARepaintWaitingAtTheCompletionDoesNotOverwriteItsReset)
{
    post(1, "/first", 1, 10.0);
    post(2, "/waiting", 2, 20.0); // within the interval: waits
    platform::NotificationCenter::defaultCenter().post("NotifyScanProcessCompleteBGX", {{"isScanCompleted", true}});
    platform::dispatch::runMainLoopFor(ThrottledRepaint::interval * 2);
    EXPECT_EQ(screen.lblPath->text(), "");
    EXPECT_EQ(screen.lblTotalItemsFound->text(), "0 IDS_BGX_51");
    EXPECT_EQ(screen.progressIndicator->value(), 0);
}

} // namespace
