#include "ResultScreensTest.h"

#include "Controls/FlatButton.h"
#include "Controls/HyperlinkTextField.h"
#include "Detection/Clean.h"
#include "Detection/Scan.h"
#include "Detection/SharedLists.h"
#include "Foundation/IndexVocabularies.h"
#include "Foundation/PresentationSlots.h"
#include "Foundation/Settings.h"
#include "Foundation/SharedState.h"
#include "Screens/Common/ScreenStyle.h"
#include "Screens/Scan/CleanProcessViewController.h"
#include "Screens/Scan/ScanResultTableCellViews.h"
#include "Screens/Scan/ScanResultViewController.h"
#include "Support/Widgets/WidgetTestSupport.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QScrollBar>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>

namespace {

using screentest::resultRow;

// Rows as a test reads them: "P<id>" for a record, the path for a path row.
std::vector<std::string> rowNames(const ScanResultViewController& screen)
{
    std::vector<std::string> names;
    for (const ScanResultRow& row : screen.rows()) {
        if (const auto* result = std::get_if<ScanResult>(&row))
            names.push_back("P" + std::to_string(result->id));
        else
            names.push_back(std::get<ScanResultItem>(row).path.value_or("?"));
    }
    return names;
}

std::vector<bool> selections()
{
    std::vector<bool> selected;
    for (const ScanResult& result : scanResults().snapshot())
        selected.push_back(result.isSelected);
    return selected;
}

class ScanResultScreenTest : public screentest::ResultScreensTest {
protected:
    void SetUp() override
    {
        ResultScreensTest::SetUp();
        scanResults().replace({resultRow(0, "Search Lens", {"/a/Search Lens.app", "/a/lens.plist", "/a/lens.log"}),
                               resultRow(1, "Mac Booster", {"/b/Booster.app"})});
        showInWindow(screen);
    }

    ScanResultParentTableCellView* parentCell(int row) const
    {
        return dynamic_cast<ScanResultParentTableCellView*>(screen.tableView->cellWidget(row, 0));
    }
    ScanResultChildTableCellView* childCell(int row) const
    {
        return dynamic_cast<ScanResultChildTableCellView*>(screen.tableView->cellWidget(row, 0));
    }

    ScanResultViewController screen;
};

TEST_F(ScanResultScreenTest, RecordsAreRowsWithTheirPathsShownWhileExpanded)
{
    EXPECT_EQ(rowNames(screen), (std::vector<std::string>{"P0", "P1"}));
    EXPECT_EQ(screen.lblTotalDeceptiveAppFound->text(), "4") << "every path counts, shown or not";
    ASSERT_TRUE(parentCell(0));
    EXPECT_EQ(parentCell(0)->lblTitle->text(), "Search Lens");
    EXPECT_EQ(parentCell(0)->lblItemFound->text(), "3");
    EXPECT_EQ(parentCell(0)->btnShowDetails->text(), "IDS_BGX_72");
    EXPECT_TRUE(parentCell(0)->btnCheckBox->isChecked());
    EXPECT_TRUE(parentCell(0)->badgeShown());
    EXPECT_EQ(screen.heightOfRow(0), 60.0);

    screen.clickedShowDetailsResultItem(0);
    EXPECT_EQ(rowNames(screen),
              (std::vector<std::string>{"P0", "/a/Search Lens.app", "/a/lens.plist", "/a/lens.log", "P1"}));
    EXPECT_EQ(parentCell(0)->btnShowDetails->text(), "IDS_BGX_71");
    ASSERT_TRUE(childCell(2));
    EXPECT_EQ(childCell(2)->lblPath->text(), "/a/lens.plist");
    EXPECT_EQ(screen.heightOfRow(2), 30.0);
    EXPECT_EQ(screen.tableView->rowHeight(2), 30);
    EXPECT_EQ(screen.lblTotalDeceptiveAppFound->text(), "4");

    screen.clickedShowDetailsResultItem(2); // a path row: no record changes
    EXPECT_EQ(screen.rows().size(), 5u);
    screen.clickedShowDetailsResultItem(0);
    EXPECT_EQ(rowNames(screen), (std::vector<std::string>{"P0", "P1"}));
}

// The lightest pixel of `widget` as the window shows it.
int lightestGray(QWidget& window, QWidget& widget)
{
    const QImage image = window.grab(QRect(widget.mapTo(&window, QPoint(0, 0)), widget.size())).toImage();
    int lightest = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            lightest = std::max(lightest, qGray(image.pixel(x, y)));
    return lightest;
}

TEST_F(ScanResultScreenTest, ResultsAndCleanScreensAreDarkWithLightTextsInTheRows)
{
    scanResults().replace({resultRow(0, "Search Lens", {"/Applications/Search Lens.app"})});
    ScanResultViewController results;
    showInWindow(results);
    EXPECT_EQ(window.grab().toImage().pixelColor(2, 2), screenstyle::screenColor)
        << "the screen hides the content area beneath";
    auto* cell = dynamic_cast<ScanResultParentTableCellView*>(results.tableView->cellWidget(0, 0));
    ASSERT_NE(cell, nullptr);
    EXPECT_GT(lightestGray(window, *cell->lblTitle), 200) << "a row's title reads on the dark row";
    EXPECT_GT(lightestGray(window, *cell->lblCompany), 150);
    results.setParent(nullptr);

    CleanProcessViewController clean;
    showInWindow(clean);
    EXPECT_EQ(window.grab().toImage().pixelColor(2, 2), screenstyle::screenColor);
}

TEST_F(ScanResultScreenTest, TickingRecordsDrivesCleanNowAndTheSelectAllBox)
{
    EXPECT_TRUE(screen.btnCleanNow->isEnabled());
    EXPECT_TRUE(screen.btnSelectUnselectAll->isChecked());

    parentCell(1)->btnCheckBox->click();
    EXPECT_EQ(selections(), (std::vector<bool>{true, false}));
    EXPECT_TRUE(screen.btnSelectUnselectAll->isChecked()) << "unticking one leaves the box as it was";

    parentCell(0)->btnCheckBox->click();
    EXPECT_EQ(selections(), (std::vector<bool>{false, false}));
    EXPECT_FALSE(screen.btnCleanNow->isEnabled());
    EXPECT_FALSE(screen.btnSelectUnselectAll->isChecked());
    EXPECT_TRUE(widgettest::nearColor(screen.btnCleanNow->backgroundNormalColor(), QColor(160, 160, 160)));

    parentCell(0)->btnCheckBox->click();
    EXPECT_FALSE(screen.btnSelectUnselectAll->isChecked());
    parentCell(1)->btnCheckBox->click();
    EXPECT_TRUE(screen.btnSelectUnselectAll->isChecked()) << "ticking the last unticked record";
    EXPECT_TRUE(widgettest::nearColor(screen.btnCleanNow->backgroundNormalColor(), QColor(0, 176, 80, 204)));

    screen.btnSelectUnselectAll->click();
    EXPECT_EQ(selections(), (std::vector<bool>{false, false}));
    EXPECT_FALSE(parentCell(0)->btnCheckBox->isChecked());
    screen.btnSelectUnselectAll->click();
    EXPECT_EQ(selections(), (std::vector<bool>{true, true}));
    EXPECT_TRUE(screen.btnCleanNow->isEnabled());
}

TEST_F(ScanResultScreenTest, RowIndicesOutsideTheRowsDoNothing)
{
    for (const int row : {-1, 2, 99}) {
        screen.checkUncheckRow(row, false);
        screen.clickedShowDetailsResultItem(row);
        screen.menuWillOpen(row);
        EXPECT_TRUE(screen.mainMenu->isEmpty()) << row;
        screen.addToIgnoreList();
        screen.openImageContainerFolderInMenu();
    }
    EXPECT_EQ(selections(), (std::vector<bool>{true, true}));
    EXPECT_EQ(rowNames(screen), (std::vector<std::string>{"P0", "P1"}));
    EXPECT_TRUE(seams.revealedPaths.empty());
}

TEST_F(ScanResultScreenTest, RecordsWithOneIdAreChangedThroughTheFirst)
{
    scanResults().replace({resultRow(7, "First", {"/x"}), resultRow(7, "Second", {"/y"})});
    screen.arrayConfig();
    screen.checkUncheckRow(1, false);
    screen.clickedShowDetailsResultItem(1);
    EXPECT_EQ(selections(), (std::vector<bool>{false, true}));
    EXPECT_EQ(rowNames(screen), (std::vector<std::string>{"P7", "/x", "P7"}));
}

TEST_F(ScanResultScreenTest, AnEmptyListShowsItsEmptyStateAndCannotBeCleaned)
{
    scanResults().clear();
    screen.arrayConfig();
    EXPECT_EQ(screen.tableView->rowCount(), 0);
    EXPECT_EQ(screen.lblTotalDeceptiveAppFound->text(), "0");
    EXPECT_FALSE(screen.btnCleanNow->isEnabled());
    EXPECT_FALSE(screen.btnSelectUnselectAll->isChecked());
    EXPECT_TRUE(screen.emptyState->isVisible());
    EXPECT_FALSE(screen.lblAttention->isVisible()) << "nothing alarming over an empty list";
    EXPECT_FALSE(screen.lblTotalDeceptiveAppFound->isVisible());
    EXPECT_FALSE(screen.btnCleanNow->isVisible());
    EXPECT_TRUE(screen.btnRescan->isVisible());

    scanResults().replace({resultRow(0, "Search Lens", {"/a/one"})});
    screen.arrayConfig();
    EXPECT_TRUE(screen.lblAttention->isVisible());
    EXPECT_TRUE(screen.btnCleanNow->isVisible());
    EXPECT_FALSE(screen.emptyState->isVisible());
}

TEST_F(ScanResultScreenTest, ThePathMenuShowsOnlyOnPathRowsAndNotUnderASheet)
{
    screen.clickedShowDetailsResultItem(0);
    screen.menuWillOpen(0);
    EXPECT_TRUE(screen.mainMenu->isEmpty()) << "a record's row";
    screen.menuWillOpen(-1);
    EXPECT_TRUE(screen.mainMenu->isEmpty()) << "below the rows";
    screen.menuWillOpen(2);
    ASSERT_EQ(screen.mainMenu->actions().size(), 2);
    EXPECT_EQ(screen.mainMenu->actions()[0]->text(), "IDS_BGX_69");
    EXPECT_EQ(screen.mainMenu->actions()[1]->text(), "IDS_BGX_70");

    screen.mainMenu->actions()[1]->trigger();
    EXPECT_EQ(seams.revealedPaths, std::vector<std::string>{"/a/lens.plist"});

    screen.clickedCleanNow();
    screen.menuWillOpen(2);
    EXPECT_TRUE(screen.mainMenu->isEmpty()) << "while the confirmation sheet is open";
    seams.answerSheet(alertSecondButtonReturn);
}

// The rows may be made again while the menu is open (a clean's end, another screen's
// ignore): its actions keep to the path the user right-clicked.
TEST_F(ScanResultScreenTest, ThePathMenuActsOnThePathItOpenedOnWhenTheRowsChangeUnderIt)
{
    screen.clickedShowDetailsResultItem(0);
    screen.menuWillOpen(2);
    ASSERT_EQ(screen.mainMenu->actions().size(), 2);
    scanResults().update([](std::vector<ScanResult>& results) { results.erase(results.begin()); });
    scanResults().update([](std::vector<ScanResult>& results) {
        results.insert(results.begin(), resultRow(5, "Other", {"/o/1", "/o/2", "/o/3"}));
        results.front().isShowDetails = true;
    });
    platform::NotificationCenter::defaultCenter().post("UpdateScanResultBGX");
    ASSERT_EQ(rowNames(screen), (std::vector<std::string>{"P5", "/o/1", "/o/2", "/o/3", "P1"}));

    screen.mainMenu->actions()[1]->trigger();
    EXPECT_EQ(seams.revealedPaths, std::vector<std::string>{"/a/lens.plist"});
    screen.menuWillOpen(2);
    scanResults().update([](std::vector<ScanResult>& results) { std::swap(results[0], results[1]); });
    platform::NotificationCenter::defaultCenter().post("UpdateScanResultBGX");
    screen.mainMenu->actions()[0]->trigger();
    EXPECT_EQ(appGroupDefaults()->array(SettingsKey::ignoreAllPaths), platform::Array{"/o/2"});
    EXPECT_EQ(rowNames(screen), (std::vector<std::string>{"P1", "P5", "/o/1", "/o/3"}));
}

TEST_F(ScanResultScreenTest, IgnoringAPathTakesItOutOfTheResultsAndOntoTheSuiteList)
{
    appGroupDefaults()->setObject(SettingsKey::ignoreAllPaths, platform::Array{"/elsewhere", "/b/Booster.app"});
    screen.clickedShowDetailsResultItem(0);
    screen.clickedShowDetailsResultItem(4);
    ASSERT_EQ(rowNames(screen), (std::vector<std::string>{"P0", "/a/Search Lens.app", "/a/lens.plist", "/a/lens.log",
                                                          "P1", "/b/Booster.app"}));
    screen.menuWillOpen(2);
    screen.mainMenu->actions()[0]->trigger();
    EXPECT_EQ(rowNames(screen), (std::vector<std::string>{"P0", "/a/Search Lens.app", "/a/lens.log", "P1",
                                                          "/b/Booster.app"}));
    EXPECT_EQ(screen.lblTotalDeceptiveAppFound->text(), "3");

    screen.menuWillOpen(4); // already listed: not added twice, still leaves, and its record goes with it
    screen.mainMenu->actions()[0]->trigger();
    EXPECT_EQ(rowNames(screen), (std::vector<std::string>{"P0", "/a/Search Lens.app", "/a/lens.log"}));
    EXPECT_EQ(appGroupDefaults()->array(SettingsKey::ignoreAllPaths),
              (platform::Array{"/elsewhere", "/b/Booster.app", "/a/lens.plist"}));
}

// A stored value that is no list counts as empty; in a list, an entry that is no path
// is kept where it stood.
TEST_F(ScanResultScreenTest, IgnoringKeepsWhatTheStoredListHeld)
{
    const struct {
        platform::Value stored;
        platform::Array written;
    } cases[] = {
        {platform::Value(5), {"/a/one"}},
        {platform::Array{"/kept", 3, platform::Array{"/inner"}}, {"/kept", 3, platform::Array{"/inner"}, "/a/one"}},
        {platform::Array{true, "/a/one"}, {true, "/a/one"}},
    };
    for (const auto& each : cases) {
        appGroupDefaults()->setObject(SettingsKey::ignoreAllPaths, each.stored);
        scanResults().replace({resultRow(0, "Search Lens", {"/a/one", "/a/two"})});
        screen.arrayConfig();
        screen.clickedShowDetailsResultItem(0);
        screen.menuWillOpen(1);
        screen.addToIgnoreList();
        EXPECT_EQ(appGroupDefaults()->array(SettingsKey::ignoreAllPaths), each.written);
        EXPECT_EQ(rowNames(screen), (std::vector<std::string>{"P0", "/a/two"}));
    }
}

TEST_F(ScanResultScreenTest, CleanNowAsksFirstAndDoesNothingDuringAScan)
{
    Scan::shared().isScanRunning = true;
    screen.clickedCleanNow();
    Scan::shared().isScanRunning = false;
    EXPECT_TRUE(seams.sheets.empty());

    widgettest::NotificationRecorder switches("ScanViewUpdateBGX");
    screen.btnCleanNow->animateForButtonUp();
    ASSERT_EQ(seams.sheets.size(), 1u);
    EXPECT_EQ(seams.sheets[0].messageText, "IDS_BGX_67");
    EXPECT_EQ(seams.sheets[0].informativeText, "IDS_BGX_68");
    EXPECT_EQ(seams.sheets[0].buttons, (std::vector<std::string>{"IDS_BGX_56", "IDS_BGX_57"}));
    EXPECT_TRUE(dimmingOverlay());
    seams.answerSheet(alertSecondButtonReturn);
    EXPECT_FALSE(dimmingOverlay());
    EXPECT_TRUE(switches.received().empty());
    EXPECT_FALSE(isCleanInProgress);
    EXPECT_EQ(selections(), (std::vector<bool>{true, true}));

    for (std::atomic<bool>* running : {&Clean::shared().isCleanRunning, &Scan::shared().isScanRunning}) {
        screen.clickedCleanNow(); // a clean or a scan starts under the sheet: confirming starts no clean
        *running = true;
        seams.answerSheet(alertFirstButtonReturn);
        *running = false;
        EXPECT_FALSE(dimmingOverlay());
        EXPECT_TRUE(switches.received().empty());
        EXPECT_FALSE(isCleanInProgress);
    }
}

TEST_F(ScanResultScreenTest, RescanStartsAScanUnlessOneRuns)
{
    Scan::shared().isScanRunning = true;
    widgettest::NotificationRecorder switches("ScanViewUpdateBGX");
    widgettest::click(*screen.btnRescan);
    Scan::shared().isScanRunning = false;
    EXPECT_TRUE(switches.received().empty());
}

// The column headers end where the rows do, with the scroller shown or not.
TEST_F(ScanResultScreenTest, ColumnHeadersLineUpWithTheRowsCells)
{
    auto versionColumnsAgree = [this] {
        QCoreApplication::processEvents(); // the table lays its scroller out later
        const QLabel* cellVersion = parentCell(0)->lblVersion;
        return screen.lblVersion->mapTo(&window, QPoint()).x() == cellVersion->mapTo(&window, QPoint()).x();
    };
    EXPECT_TRUE(versionColumnsAgree());
    EXPECT_FALSE(screen.tableView->verticalScrollBar()->isVisible());

    std::vector<ScanResult> many;
    for (int id = 0; id < 12; ++id)
        many.push_back(resultRow(id, "Record " + std::to_string(id), {"/r/" + std::to_string(id)}));
    scanResults().replace(many);
    screen.arrayConfig();
    EXPECT_TRUE(versionColumnsAgree());
    EXPECT_TRUE(screen.tableView->verticalScrollBar()->isVisible());
}

// A long list costs what the screen shows: rows get their cells as they come into view.
TEST_F(ScanResultScreenTest, RowsGetTheirCellsAsTheyComeIntoView)
{
    std::vector<ScanResult> many;
    for (int id = 0; id < 40; ++id)
        many.push_back(resultRow(id, "Record " + std::to_string(id), {"/r/" + std::to_string(id)}));
    scanResults().replace(many);
    screen.arrayConfig();
    ASSERT_TRUE(parentCell(0));
    EXPECT_EQ(parentCell(0)->lblTitle->text(), "Record 0");
    EXPECT_FALSE(screen.tableView->cellWidget(39, 0)) << "out of view";

    screen.tableView->scrollToBottom();
    ASSERT_TRUE(parentCell(39));
    EXPECT_EQ(parentCell(39)->lblTitle->text(), "Record 39");
    widgettest::click(*parentCell(39)->btnShowDetails);
    screen.tableView->scrollToBottom();
    ASSERT_TRUE(childCell(40)) << "its path row, scrolled into view";
    EXPECT_EQ(childCell(40)->lblPath->text(), "/r/39");
}

TEST_F(ScanResultScreenTest, GrabsCollapsedAndExpanded)
{
    useEnglishTexts();
    ScanResult unbadged = resultRow(2, "Disk Tuner Pro", {"/Applications/Disk Tuner Pro.app"});
    unbadged.subTitleRight.clear();
    unbadged.isSelected = false;
    scanResults().replace({resultRow(0, "Search Lens", {"/Applications/Search Lens.app",
                                                         "/Library/LaunchAgents/com.searchlens.agent.plist",
                                                         "/Library/Application Support/SearchLens"}),
                           resultRow(1, "Mac Booster Elite", {"/Applications/Mac Booster Elite.app"}), unbadged});
    ScanResultViewController shown;
    showInWindow(shown);
    widgettest::saveGrab(window, "scan-results-collapsed");
    setSheetPresenter({}); // the real sheet, for its look
    shown.btnCleanNow->click();
    widgettest::saveGrab(window, "scan-results-clean-now-dimmed");
    const auto boxes = window.findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 1);
    widgettest::saveGrab(*boxes.front(), "scan-results-clean-now-sheet");
    boxes.front()->buttons().at(1)->click();
    EXPECT_FALSE(dimmingOverlay());
    shown.clickedShowDetailsResultItem(0);
    widgettest::saveGrab(window, "scan-results-expanded");
    std::vector<ScanResult> many;
    for (int id = 0; id < 9; ++id)
        many.push_back(resultRow(id, "Helper Suite " + std::to_string(id), {"/Applications/Helper.app"}));
    many[3].company = "Orlundo Software Distribution Group, Qlorvex Labs";
    scanResults().replace(many);
    shown.arrayConfig();
    QCoreApplication::processEvents();
    widgettest::saveGrab(window, "scan-results-scrolling");
    scanResults().clear();
    shown.arrayConfig();
    QCoreApplication::processEvents(); // the table lays its rows out, then drops its scroll bar
    QCoreApplication::processEvents();
    widgettest::saveGrab(window, "scan-results-empty");
}

} // namespace
