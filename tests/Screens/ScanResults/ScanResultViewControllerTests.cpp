#include "ResultScreensTest.h"

#include "Controls/FocusRing.h"
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
#include "Screens/Scan/ScanResultRowLayout.h"
#include "Screens/Scan/ScanResultTableModel.h"
#include "Screens/Scan/ScanResultViewController.h"
#include "Support/Widgets/AccessibleEventLog.h"
#include "Support/Widgets/RowTableChrome.h"
#include "Support/Widgets/WidgetTestSupport.h"

#include <QAccessible>
#include <QCheckBox>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QScrollBar>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolTip>

#include <functional>

namespace {

using screentest::resultRow;
using Model = ScanResultTableModel;

// Rows as a test reads them: "P<id>" for a record, the path for a path row.
std::vector<std::string> rowNames(const ScanResultViewController& screen)
{
    std::vector<std::string> names;
    const Model& model = *screen.resultsModel;
    for (int row = 0; row < model.rowCount(); ++row) {
        if (const auto id = model.recordIdAt(row))
            names.push_back("P" + std::to_string(*id));
        else
            names.push_back(model.pathAt(row).value_or("?"));
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

// `count` records of one path each, "Record <id>" from `firstId` on.
std::vector<ScanResult> manyRecords(int count, int firstId = 0)
{
    std::vector<ScanResult> many;
    for (int id = firstId; id < firstId + count; ++id)
        many.push_back(resultRow(id, "Record " + std::to_string(id), {"/r/" + std::to_string(id)}));
    return many;
}

// The pixels of `area` of the window within a small tolerance of `colour`.
int pixelsNear(QWidget& window, QRect area, const QColor& colour)
{
    const QImage image = window.grab(area).toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += widgettest::nearColor(image.pixelColor(x, y), colour, 40);
    return count;
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

    QWidget& rows() const { return *screen.tableView->viewport(); }
    // A point of `row` as the user sees it: `x` from the row's left (from its right when
    // negative), `y` from its top.
    QPoint inRow(int row, int x, int y) const
    {
        const QRect rect = screen.tableView->visualRect(screen.resultsModel->index(row, 0));
        return {x < 0 ? rect.right() + 1 + x : rect.left() + x, rect.top() + y};
    }
    // Where the user clicks a record's checkbox and its Show details link.
    void clickCheckBox(int row) { widgettest::click(rows(), inRow(row, 27, 30)); }
    void clickShowDetails(int row) { widgettest::click(rows(), inRow(row, -60, 40)); }
    // A right click on `row` (at its middle; -1: below the rows).
    void rightClick(int row)
    {
        const QPoint point = row < 0 ? QPoint(100, rows().height() - 2) : inRow(row, 200, 10);
        QContextMenuEvent event(QContextMenuEvent::Mouse, point, rows().mapToGlobal(point));
        QApplication::sendEvent(&rows(), &event);
        screen.mainMenu->hide();
    }
    QVariant shown(int row, int role) const { return screen.resultsModel->index(row, 0).data(role); }
    // The window active, as the user's is, so that the keyboard reaches the screen.
    void activate()
    {
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    int currentRow() const { return screen.tableView->currentIndex().row(); }
    // The tool tip over a point of the rows.
    QString toolTipAt(QPoint point)
    {
        QHelpEvent event(QEvent::ToolTip, point, rows().mapToGlobal(point));
        QApplication::sendEvent(&rows(), &event);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }

    ScanResultViewController screen;
};

TEST_F(ScanResultScreenTest, RecordsAreRowsWithTheirPathsShownWhileExpanded)
{
    EXPECT_EQ(rowNames(screen), (std::vector<std::string>{"P0", "P1"}));
    EXPECT_EQ(screen.lblTotalDeceptiveAppFound->text(), "4") << "every path counts, shown or not";
    EXPECT_EQ(shown(0, Qt::DisplayRole), "Search Lens");
    EXPECT_EQ(shown(0, Model::itemCountRole).toInt(), 3);
    EXPECT_FALSE(shown(0, Model::isShowDetailsRole).toBool());
    EXPECT_EQ(shown(0, Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
    EXPECT_EQ(shown(0, Model::badgeRole), "Adware");
    EXPECT_EQ(screen.tableView->rowHeight(0), 60);
    widgettest::moveTo(rows(), inRow(0, -60, 40));
    EXPECT_EQ(rows().cursor().shape(), Qt::PointingHandCursor) << "over Show details";
    widgettest::moveTo(rows(), inRow(0, 200, 30));
    EXPECT_EQ(rows().cursor().shape(), Qt::ArrowCursor);

    clickShowDetails(0);
    EXPECT_EQ(rowNames(screen),
              (std::vector<std::string>{"P0", "/a/Search Lens.app", "/a/lens.plist", "/a/lens.log", "P1"}));
    EXPECT_TRUE(shown(0, Model::isShowDetailsRole).toBool());
    EXPECT_EQ(shown(2, Qt::DisplayRole), "/a/lens.plist");
    EXPECT_EQ(screen.tableView->rowHeight(2), 30);
    EXPECT_EQ(screen.tableView->rowHeight(4), 60);
    EXPECT_EQ(screen.lblTotalDeceptiveAppFound->text(), "4");

    widgettest::click(rows(), inRow(2, -60, 15)); // a path row: no record changes
    EXPECT_EQ(rowNames(screen).size(), 5u);
    clickShowDetails(4);
    clickShowDetails(0);
    EXPECT_EQ(rowNames(screen), (std::vector<std::string>{"P0", "P1", "/b/Booster.app"}));
    EXPECT_EQ(screen.tableView->rowHeight(1), 60) << "the rows below keep their heights";
    EXPECT_EQ(screen.tableView->rowHeight(2), 30);
    clickShowDetails(1);
    EXPECT_EQ(rowNames(screen), (std::vector<std::string>{"P0", "P1"}));
}

// The lightest pixel of `area` of `widget` as the window shows it.
int lightestGray(QWidget& window, QWidget& widget, QRect area)
{
    const QImage image = window.grab(area.translated(widget.mapTo(&window, QPoint(0, 0)))).toImage();
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
    QWidget& viewport = *results.tableView->viewport();
    EXPECT_GT(lightestGray(window, viewport, QRect(98, 10, 100, 20)), 200) << "a row's title reads on the dark row";
    EXPECT_GT(lightestGray(window, viewport, QRect(viewport.width() - 384, 20, 150, 20)), 150) << "its company";
    results.setParent(nullptr);

    CleanProcessViewController clean;
    showInWindow(clean);
    EXPECT_EQ(window.grab().toImage().pixelColor(2, 2), screenstyle::screenColor);
}

TEST_F(ScanResultScreenTest, TickingRecordsDrivesCleanNowAndTheSelectAllBox)
{
    EXPECT_TRUE(screen.btnCleanNow->isEnabled());
    EXPECT_TRUE(screen.btnSelectUnselectAll->isChecked());

    clickCheckBox(1);
    EXPECT_EQ(selections(), (std::vector<bool>{true, false}));
    EXPECT_EQ(shown(1, Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);
    EXPECT_TRUE(screen.btnSelectUnselectAll->isChecked()) << "unticking one leaves the box as it was";

    clickCheckBox(0);
    EXPECT_EQ(selections(), (std::vector<bool>{false, false}));
    EXPECT_FALSE(screen.btnCleanNow->isEnabled());
    EXPECT_FALSE(screen.btnSelectUnselectAll->isChecked());
    EXPECT_TRUE(widgettest::nearColor(screen.btnCleanNow->backgroundNormalColor(), QColor(160, 160, 160)));

    clickCheckBox(0);
    EXPECT_FALSE(screen.btnSelectUnselectAll->isChecked());
    clickCheckBox(1);
    EXPECT_TRUE(screen.btnSelectUnselectAll->isChecked()) << "ticking the last unticked record";
    EXPECT_TRUE(widgettest::nearColor(screen.btnCleanNow->backgroundNormalColor(), QColor(0, 176, 80, 204)));

    widgettest::click(rows(), inRow(0, 200, 30)); // beside the checkbox: nothing
    EXPECT_EQ(selections(), (std::vector<bool>{true, true}));

    widgettest::click(*screen.btnSelectUnselectAll, {11, 7}); // the select-all box, as the user clicks it
    EXPECT_EQ(selections(), (std::vector<bool>{false, false}));
    EXPECT_EQ(shown(0, Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);
    widgettest::click(*screen.btnSelectUnselectAll, {11, 7});
    EXPECT_EQ(selections(), (std::vector<bool>{true, true}));
    EXPECT_TRUE(screen.btnCleanNow->isEnabled());
}

// A tick changes its own row and copies nothing: the rows stay as they were.
TEST_F(ScanResultScreenTest, ATickChangesItsRowOnly)
{
    clickShowDetails(0);
    std::vector<QModelIndex> changed;
    QObject::connect(screen.resultsModel, &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex& first, const QModelIndex& last) {
                         for (int row = first.row(); row <= last.row(); ++row)
                             changed.push_back(first.siblingAtRow(row));
                     });
    bool reset = false;
    QObject::connect(screen.resultsModel, &QAbstractItemModel::modelReset, [&] { reset = true; });
    clickCheckBox(4);
    EXPECT_EQ(selections(), (std::vector<bool>{true, false}));
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].row(), 4);
    EXPECT_FALSE(reset);
}

// Keyboard: the table takes focus and Space ticks the current record.
TEST_F(ScanResultScreenTest, SpaceTicksTheCurrentRecord)
{
    screen.tableView->setFocus();
    screen.tableView->setCurrentIndex(screen.resultsModel->index(1, 0));
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
    QApplication::sendEvent(screen.tableView, &space);
    EXPECT_EQ(selections(), (std::vector<bool>{true, false}));
    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QApplication::sendEvent(screen.tableView, &up);
    QApplication::sendEvent(screen.tableView, &space);
    EXPECT_EQ(selections(), (std::vector<bool>{false, false}));
    EXPECT_FALSE(screen.btnCleanNow->isEnabled());
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

TEST_F(ScanResultScreenTest, ARecordWithoutItemsShowsNoPathRowsAndCountsNothing)
{
    ScanResult bare = resultRow(3, "Bare", {});
    bare.items.reset();
    bare.isShowDetails = true;
    scanResults().replace({bare, resultRow(4, "Other", {"/o/1"})});
    screen.arrayConfig();
    EXPECT_EQ(rowNames(screen), (std::vector<std::string>{"P3", "P4"}));
    EXPECT_EQ(shown(0, Model::itemCountRole).toInt(), 0);
    EXPECT_EQ(screen.lblTotalDeceptiveAppFound->text(), "1");
}

TEST_F(ScanResultScreenTest, AnEmptyListShowsItsEmptyStateAndCannotBeCleaned)
{
    scanResults().clear();
    screen.arrayConfig();
    EXPECT_EQ(screen.tableView->model()->rowCount(), 0);
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
    clickShowDetails(0);
    rightClick(0);
    EXPECT_TRUE(screen.mainMenu->isEmpty()) << "a record's row";
    rightClick(-1);
    EXPECT_TRUE(screen.mainMenu->isEmpty()) << "below the rows";
    rightClick(2);
    ASSERT_EQ(screen.mainMenu->actions().size(), 2);
    EXPECT_EQ(screen.mainMenu->actions()[0]->text(), "IDS_BGX_69");
    EXPECT_EQ(screen.mainMenu->actions()[1]->text(), "IDS_BGX_70");

    screen.mainMenu->actions()[1]->trigger();
    EXPECT_EQ(seams.revealedPaths, std::vector<std::string>{"/a/lens.plist"});

    screen.clickedCleanNow();
    rightClick(2);
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
        for (int pass = 0; pass < 2; ++pass)
            QCoreApplication::processEvents(); // the table lays out its rows, then its scroller
        const QRect row = screen.tableView->visualRect(screen.resultsModel->index(0, 0));
        const ScanResultParentLayout cells(row, ScanResultRowFonts(screen.tableView->font()), "Threat:", "Adware",
                                           "Show details");
        return screen.lblVersion->mapTo(&window, QPoint()).x() == rows().mapTo(&window, cells.version.topLeft()).x();
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

// The rows at the end of a long list act as those at its top; expanding one keeps
// the list where the user scrolled it.
TEST_F(ScanResultScreenTest, RowsAtTheEndOfALongListActThroughTheView)
{
    std::vector<ScanResult> many;
    for (int id = 0; id < 40; ++id)
        many.push_back(resultRow(id, "Record " + std::to_string(id), {"/r/" + std::to_string(id)}));
    scanResults().replace(many);
    screen.arrayConfig();
    screen.tableView->scrollToBottom();
    const int scrolled = screen.tableView->verticalScrollBar()->value();
    EXPECT_EQ(screen.tableView->indexAt(inRow(39, 30, 30)).row(), 39);

    clickShowDetails(39);
    EXPECT_EQ(rowNames(screen).back(), "/r/39");
    EXPECT_EQ(screen.tableView->verticalScrollBar()->value(), scrolled);
    clickCheckBox(39);
    EXPECT_FALSE(scanResults().snapshot().back().isSelected);
}

TEST_F(ScanResultScreenTest, AClickedRowShowsTheSelectionFillAndTheListTheDarkScroller)
{
    useEnglishTexts();
    std::vector<ScanResult> many;
    for (int id = 0; id < 12; ++id)
        many.push_back(resultRow(id, "Helper Suite " + std::to_string(id), {"/Applications/Helper.app"}));
    scanResults().replace(many);
    screen.arrayConfig();
    QCoreApplication::processEvents();
    widgettest::expectSelectedRowAndDarkScroller(*screen.tableView, 2, "scan-results-selected-row");
    EXPECT_EQ(screen.tableView->currentIndex().row(), 2) << "the clicked row is the keyboard's too";
}

TEST_F(ScanResultScreenTest, GrabsCollapsedAndExpanded)
{
    useEnglishTexts();
    ScanResult unnamedThreat = resultRow(2, "Disk Tuner Pro", {"/Applications/Disk Tuner Pro.app"});
    unnamedThreat.subTitleRight = "Deceptive App"; // what the hand-over gives a record without a threat name
    unnamedThreat.isSelected = false;
    scanResults().replace({resultRow(0, "Search Lens", {"/Applications/Search Lens.app",
                                                         "/Library/LaunchAgents/com.searchlens.agent.plist",
                                                         "/Library/Application Support/SearchLens"}),
                           resultRow(1, "Mac Booster Elite", {"/Applications/Mac Booster Elite.app"}), unnamedThreat});
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

// Paths and titles are what the user judges before cleaning: too long for their place
// they are shortened in the middle, and the whole text shows in the tool tip. Texts
// from the definitions are shown as typed, never as markup.
TEST_F(ScanResultScreenTest, LongTextsAreElidedInTheMiddleAndMarkupIsShownAsTyped)
{
    const std::string longPath = "/Users/someone/Library/Caches/com.example.a-really-long-vendor-name/Cache.db/"
                                 "com.example.a-really-long-vendor-name.helper/Contents/Resources/payload.plist";
    const std::string markup = "<b>Bold</b> <font color=red>Helper</font>";
    scanResults().replace({resultRow(0, markup, {longPath}),
                           resultRow(1, "Orlundo Qlorvex Tarnloop Helper Suite Professional Edition for Everyone",
                                     {"/Applications/Helper.app"})});
    screen.arrayConfig();
    clickShowDetails(0);
    QCoreApplication::processEvents();

    const QString tip = toolTipAt(inRow(1, 200, 15));
    EXPECT_TRUE(tip.contains(QString::fromStdString(longPath))) << tip.toStdString();
    EXPECT_TRUE(toolTipAt(inRow(2, 110, 20)).contains("Professional Edition for Everyone"));
    const QString markupTip = toolTipAt(inRow(0, 110, 20));
    EXPECT_TRUE(markupTip.contains(QString::fromStdString(markup).toHtmlEscaped())) << markupTip.toStdString();
    QToolTip::hideText();

    // Drawn as markup, the name would show red letters in the title's line.
    const QImage title = window.grab(QRect(rows().mapTo(&window, inRow(0, 98, 10)), QSize(250, 20))).toImage();
    int red = 0;
    for (int y = 0; y < title.height(); ++y)
        for (int x = 0; x < title.width(); ++x) {
            const QColor colour = title.pixelColor(x, y);
            red += colour.red() > 150 && colour.green() < 90 && colour.blue() < 90;
        }
    EXPECT_EQ(red, 0);
}

TEST_F(ScanResultScreenTest, GrabLongTextsAndMarkup)
{
    useEnglishTexts();
    scanResults().replace({resultRow(0, "<b>Bold</b> <font color=red>Helper</font>",
                                     {"/Users/someone/Library/Caches/com.example.a-really-long-vendor-name/Cache.db/"
                                      "com.example.a-really-long-vendor-name.helper/Contents/Resources/payload.plist"}),
                           resultRow(1, "Orlundo Qlorvex Tarnloop Helper Suite Professional Edition for Everyone",
                                     {"/Applications/Helper.app"})});
    ScanResultViewController shown;
    showInWindow(shown);
    shown.clickedShowDetailsResultItem(0);
    widgettest::saveGrab(window, "scan-results-long-texts-and-markup");
}

TEST_F(ScanResultScreenTest, TabAndShiftTabLeaveTheTableForTheScreensOtherControls)
{
    activate();
    screen.btnSelectUnselectAll->setFocus(Qt::TabFocusReason);
    QTest::keyClick(screen.btnSelectUnselectAll, Qt::Key_Tab);
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), screen.tableView);
    EXPECT_EQ(currentRow(), 0) << "the keyboard starts on the first row";
    QTest::keyClick(screen.tableView, Qt::Key_Down);
    ASSERT_EQ(currentRow(), 1);

    QTest::keyClick(screen.tableView, Qt::Key_Tab); // from the last row
    EXPECT_EQ(QApplication::focusWidget(), screen.btnCleanNow);
    QTest::keyClick(screen.btnCleanNow, Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), screen.tableView);
    EXPECT_EQ(currentRow(), 1) << "back on the row the user left";
    QTest::keyClick(screen.tableView, Qt::Key_Up);
    QTest::keyClick(screen.tableView, Qt::Key_Tab, Qt::ShiftModifier); // from the first row
    EXPECT_EQ(QApplication::focusWidget(), screen.btnSelectUnselectAll);
    EXPECT_EQ(selections(), (std::vector<bool>{true, true}));
}

// A keyboard user shows a record's paths, goes to one and reaches its menu.
TEST_F(ScanResultScreenTest, TheKeyboardShowsARecordsPathsAndReachesThePathMenu)
{
    activate();
    screen.tableView->setFocus(Qt::TabFocusReason);
    QTest::keyClick(screen.tableView, Qt::Key_Return);
    EXPECT_EQ(rowNames(screen),
              (std::vector<std::string>{"P0", "/a/Search Lens.app", "/a/lens.plist", "/a/lens.log", "P1"}));
    QTest::keyClick(screen.tableView, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(rowNames(screen), (std::vector<std::string>{"P0", "P1"}));
    QTest::keyClick(screen.tableView, Qt::Key_Right); // shows them
    EXPECT_EQ(rowNames(screen).size(), 5u);
    EXPECT_EQ(currentRow(), 0);
    QTest::keyClick(screen.tableView, Qt::Key_Right); // onto the first
    QTest::keyClick(screen.tableView, Qt::Key_Down);
    ASSERT_EQ(currentRow(), 2);

    // The Menu key, as the window system delivers it.
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(), QCursor::pos());
    QApplication::sendEvent(window.windowHandle(), &menuKey);
    ASSERT_EQ(screen.mainMenu->actions().size(), 2);
    screen.mainMenu->hide();
    screen.mainMenu->actions()[0]->trigger();
    EXPECT_EQ(appGroupDefaults()->array(SettingsKey::ignoreAllPaths), platform::Array{"/a/lens.plist"});
    ASSERT_EQ(rowNames(screen), (std::vector<std::string>{"P0", "/a/Search Lens.app", "/a/lens.log", "P1"}));
    EXPECT_EQ(currentRow(), 2) << "the keyboard stays where it was";

    QTest::keyClick(screen.tableView, Qt::Key_Left); // up to the record
    EXPECT_EQ(currentRow(), 0);
    EXPECT_EQ(rowNames(screen).size(), 4u);
    QTest::keyClick(screen.tableView, Qt::Key_Left); // hides its paths
    EXPECT_EQ(rowNames(screen), (std::vector<std::string>{"P0", "P1"}));
    EXPECT_EQ(selections(), (std::vector<bool>{true, true})) << "only Space ticks";
}

TEST_F(ScanResultScreenTest, TheCurrentRowWearsAFocusRingWhileTheTableHasTheKeyboard)
{
    useEnglishTexts();
    scanResults().replace({resultRow(0, "Search Lens", {"/Applications/Search Lens.app",
                                                         "/Library/LaunchAgents/com.searchlens.agent.plist"}),
                           resultRow(1, "Mac Booster Elite", {"/Applications/Mac Booster Elite.app"}),
                           resultRow(2, "Disk Tuner Pro", {"/Applications/Disk Tuner Pro.app"})});
    ScanResultViewController shown;
    showInWindow(shown);
    activate();
    QTableView& table = *shown.tableView;
    // The ring's left edge, beside the checkbox where nothing else is drawn.
    auto ringAt = [&](int row) {
        const QRect rect = table.visualRect(shown.resultsModel->index(row, 0));
        return pixelsNear(window, QRect(table.viewport()->mapTo(&window, rect.topLeft() + QPoint(0, 8)),
                                        QSize(6, rect.height() - 16)),
                          controls::focusRingColor);
    };
    table.setFocus(Qt::TabFocusReason);
    QTest::keyClick(&table, Qt::Key_Down);
    EXPECT_GT(ringAt(1), 0);
    EXPECT_EQ(ringAt(0), 0);
    EXPECT_EQ(ringAt(2), 0);
    widgettest::saveGrab(window, "scan-results-keyboard-focus-record");

    QTest::keyClick(&table, Qt::Key_Up);
    QTest::keyClick(&table, Qt::Key_Return);
    QTest::keyClick(&table, Qt::Key_Down);
    QTest::keyClick(&table, Qt::Key_Down);
    EXPECT_GT(ringAt(2), 0) << "a path row";
    EXPECT_EQ(ringAt(0), 0);
    widgettest::saveGrab(window, "scan-results-keyboard-focus-path");

    shown.btnCleanNow->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(ringAt(2), 0) << "not while another control has the keyboard";

    const QRect record = table.visualRect(shown.resultsModel->index(0, 0));
    QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, record.center());
    ASSERT_EQ(QApplication::focusWidget(), &table);
    EXPECT_EQ(ringAt(0), 0) << "not after a click alone";
}

// Screen readers reach the rows through the table's cells, a record's checkbox as its
// cell's check box, as in the other list tables, and act on them as the mouse does.
TEST_F(ScanResultScreenTest, ScreenReadersReadTheRowsAndTickAndExpandRecords)
{
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(screen.tableView);
    ASSERT_TRUE(table && table->tableInterface());
    EXPECT_EQ(table->role(), QAccessible::Table);
    QAccessibleTableInterface& cells = *table->tableInterface();
    EXPECT_EQ(cells.rowCount(), 2);
    EXPECT_EQ(cells.columnCount(), 1);
    EXPECT_EQ(cells.columnDescription(0), "IDS_BGX_63");

    QAccessibleInterface* record = cells.cellAt(1, 0);
    ASSERT_TRUE(record && record->tableCellInterface() && record->actionInterface());
    EXPECT_EQ(record->role(), QAccessible::Cell);
    EXPECT_EQ(record->text(QAccessible::Name), "Mac Booster");
    EXPECT_EQ(record->text(QAccessible::Description),
              "Threat: Adware, IDS_BGX_64: Tarn Loop Media, IDS_BGX_65: 2.1, IDS_BGX_66: 1");
    EXPECT_FALSE(record->state().checkable) << "its check box is";
    EXPECT_TRUE(record->state().collapsed);
    ASSERT_EQ(record->childCount(), 1);
    QAccessibleInterface* tick = record->child(0);
    EXPECT_EQ(tick->role(), QAccessible::CheckBox);
    EXPECT_EQ(tick->text(QAccessible::Name), "Mac Booster");
    EXPECT_TRUE(tick->state().checked);
    EXPECT_EQ(record->actionInterface()->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
    const QList<QAccessibleInterface*> header = record->tableCellInterface()->columnHeaderCells();
    ASSERT_EQ(header.size(), 1);
    EXPECT_EQ(header[0]->text(QAccessible::Name), "IDS_BGX_63");
    EXPECT_EQ(header[0]->role(), QAccessible::ColumnHeader);

    const QString toggle = QAccessibleActionInterface::toggleAction();
    ASSERT_EQ(tick->actionInterface()->actionNames(), QStringList{toggle});
    tick->actionInterface()->doAction(toggle);
    EXPECT_EQ(selections(), (std::vector<bool>{true, false}));
    EXPECT_FALSE(tick->state().checked);
    EXPECT_EQ(shown(1, Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);
    cells.cellAt(0, 0)->child(0)->actionInterface()->doAction(toggle);
    EXPECT_EQ(selections(), (std::vector<bool>{false, false}));
    EXPECT_FALSE(screen.btnCleanNow->isEnabled()) << "as a click does";

    cells.cellAt(0, 0)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(cells.rowCount(), 5);
    EXPECT_TRUE(cells.cellAt(0, 0)->state().expanded);
    QAccessibleInterface* path = cells.cellAt(2, 0);
    ASSERT_TRUE(path && path->actionInterface());
    EXPECT_EQ(path->text(QAccessible::Name), "/a/lens.plist");
    EXPECT_FALSE(path->state().checkable);
    EXPECT_EQ(path->childCount(), 0);
    EXPECT_EQ(table->child(table->indexOfChild(path)), path);
    EXPECT_EQ(path->actionInterface()->actionNames(), QStringList{QAccessibleActionInterface::showMenuAction()});
    path->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
    ASSERT_EQ(screen.mainMenu->actions().size(), 2);
    screen.mainMenu->hide();
    screen.mainMenu->actions()[1]->trigger();
    EXPECT_EQ(seams.revealedPaths, std::vector<std::string>{"/a/lens.plist"});

    // A path's cell kept by a screen reader past its row acts no more; a record's cell
    // follows its record as rows come and go above it; all go with the view.
    const QAccessible::Id stale = QAccessible::uniqueId(cells.cellAt(3, 0));
    QAccessibleInterface* below = cells.cellAt(4, 0);
    cells.cellAt(0, 0)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(cells.rowCount(), 2);
    EXPECT_EQ(cells.cellAt(1, 0), below);
    EXPECT_EQ(below->text(QAccessible::Name), "Mac Booster");
    EXPECT_EQ(below->tableCellInterface()->rowIndex(), 1);
    if (QAccessibleInterface* gone = QAccessible::accessibleInterface(stale)) {
        EXPECT_FALSE(gone->isValid());
        EXPECT_TRUE(gone->text(QAccessible::Name).isEmpty());
        EXPECT_TRUE(gone->actionInterface()->actionNames().isEmpty());
        gone->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
    }
    EXPECT_EQ(selections(), (std::vector<bool>{false, false}));
    QAccessible::Id ofAnotherScreen = 0;
    {
        ScanResultViewController other;
        other.arrayConfig();
        QAccessibleInterface* otherTable = QAccessible::queryAccessibleInterface(other.tableView);
        ofAnotherScreen = QAccessible::uniqueId(otherTable->tableInterface()->cellAt(0, 0));
        ASSERT_TRUE(QAccessible::accessibleInterface(ofAnotherScreen));
    }
    EXPECT_FALSE(QAccessible::accessibleInterface(ofAnotherScreen));
}

// A screen reader hears the current row again (a record's check box, a path row's
// cell) where the table takes the keyboard and where showing or hiding paths changes
// the rows under it, and the record's cell change state; the cell it holds lives on
// through the change.
TEST_F(ScanResultScreenTest, ScreenReadersHearTheCurrentRowAfterFocusAndAfterItsPathsAreShownOrHidden)
{
    activate();
    widgettest::AccessibleEventLog events;
    const auto lastOf = [&](QAccessible::Event type) -> std::optional<widgettest::AccessibleEventLog::Event> {
        const auto found = std::find_if(events.events.rbegin(), events.events.rend(),
                                        [&](const auto& event) { return event.type == type; });
        return found == events.events.rend() ? std::nullopt : std::optional(*found);
    };
    const auto lastFocus = [&] { return lastOf(QAccessible::Focus); };
    screen.btnSelectUnselectAll->setFocus();
    QTest::keyClick(screen.btnSelectUnselectAll, Qt::Key_Tab);
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), screen.tableView);
    ASSERT_TRUE(lastFocus());
    EXPECT_EQ(lastFocus()->name, "Search Lens") << "the row's check box, not the table";
    EXPECT_TRUE(lastFocus()->state.checked);
    EXPECT_TRUE(lastFocus()->state.focused);

    QAccessibleInterface& table = *QAccessible::queryAccessibleInterface(screen.tableView);
    QAccessibleTableInterface& cells = *table.tableInterface();
    const QAccessible::Id held = QAccessible::uniqueId(cells.cellAt(0, 0));
    const struct {
        Qt::Key key;
        int rows;
        bool expanded;
    } steps[] = {{Qt::Key_Return, 5, true}, {Qt::Key_Left, 2, false}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.key);
        events.events.clear();
        QTest::keyClick(screen.tableView, step.key);
        ASSERT_EQ(cells.rowCount(), step.rows);
        const auto focus = lastFocus();
        ASSERT_TRUE(focus);
        EXPECT_EQ(focus->name, "Search Lens");
        EXPECT_TRUE(focus->state.focused);
        EXPECT_EQ(focus->target, QAccessible::uniqueId(cells.cellAt(0, 0)->child(0)));
        const auto changed = lastOf(QAccessible::StateChanged);
        ASSERT_TRUE(changed);
        EXPECT_EQ(changed->target, held);
        EXPECT_TRUE(changed->state.expanded && changed->state.collapsed);
        EXPECT_EQ(cells.cellAt(0, 0)->state().expanded, step.expanded);
        EXPECT_EQ(QAccessible::accessibleInterface(held), cells.cellAt(0, 0)) << "the cell the reader holds lives on";
    }

    // Escape from the path menu gives the table the keyboard back: the row is said again.
    QTest::keyClick(screen.tableView, Qt::Key_Right);
    QTest::keyClick(screen.tableView, Qt::Key_Right);
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(), QCursor::pos());
    QApplication::sendEvent(window.windowHandle(), &menuKey);
    ASSERT_TRUE(screen.mainMenu->isVisible());
    events.events.clear();
    QTest::keyClick(screen.mainMenu, Qt::Key_Escape);
    QCoreApplication::processEvents();
    ASSERT_FALSE(screen.mainMenu->isVisible());
    ASSERT_TRUE(lastFocus());
    EXPECT_EQ(lastFocus()->name, "/a/Search Lens.app");
}

// The view's own focus and change events number the cells as Qt numbers those of a
// plain table; the screen's table numbers them alike, and its focus is the current row.
TEST_F(ScanResultScreenTest, ScreenReadersFindTheCurrentRowByTheViewsNumbering)
{
    screen.clickedShowDetailsResultItem(0);
    QTableView plain;
    plain.setModel(screen.resultsModel);
    QAccessibleInterface* qtTable = QAccessible::queryAccessibleInterface(&plain);
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(screen.tableView);
    ASSERT_TRUE(qtTable && qtTable->tableInterface() && table && table->tableInterface());
    EXPECT_EQ(table->childCount(), qtTable->childCount());
    for (int row = 0; row < screen.resultsModel->rowCount(); ++row)
        EXPECT_EQ(table->indexOfChild(table->tableInterface()->cellAt(row, 0)),
                  qtTable->indexOfChild(qtTable->tableInterface()->cellAt(row, 0)))
            << row;

    activate();
    screen.tableView->setFocus(Qt::TabFocusReason);
    QTest::keyClick(screen.tableView, Qt::Key_Down);
    QTest::keyClick(screen.tableView, Qt::Key_Down);
    QAccessibleInterface* focused = table->focusChild();
    ASSERT_TRUE(focused);
    EXPECT_EQ(focused->text(QAccessible::Name), "/a/lens.plist");
    EXPECT_TRUE(focused->state().focused);
    EXPECT_EQ(table->child(table->indexOfChild(focused)), focused);
}

// A list that replaced the one shown opens at its top, however far the last one was
// scrolled; the user's edits of a list keep its place.
TEST_F(ScanResultScreenTest, ANewListOpensAtItsTopAndEditsKeepThePlace)
{
    auto& center = platform::NotificationCenter::defaultCenter();
    const struct {
        const char* name;
        std::function<void()> replace;
    } replacements[] = {
        {"a rescan's hand-over",
         [&] {
             center.post("ScanViewUpdateBGX", {{menuKey, ScanMenu::scanprocess}});
             scanResults().replace(manyRecords(60, 100));
             center.post("ScanViewUpdateBGX", {{menuKey, ScanMenu::scanresult}});
             screen.viewWillAppear();
         }},
        {"a clean's result",
         [&] {
             center.post("ScanViewUpdateBGX", {{menuKey, ScanMenu::cleanProcess}});
             scanResults().update([](std::vector<ScanResult>& results) { results.erase(results.begin() + 40); });
             center.post("UpdateScanResultBGX");
         }},
    };
    QScrollBar& bar = *screen.tableView->verticalScrollBar();
    for (const auto& each : replacements) {
        scanResults().replace(manyRecords(60));
        screen.arrayConfig();
        QCoreApplication::processEvents();
        screen.tableView->scrollToBottom();
        ASSERT_GT(bar.value(), 0) << each.name;
        each.replace();
        QCoreApplication::processEvents();
        EXPECT_EQ(bar.value(), 0) << each.name;
        EXPECT_EQ(screen.tableView->rowAt(0), 0) << each.name;
    }

    bar.setValue(bar.maximum() / 2);
    const int place = bar.value();
    const int row = screen.tableView->rowAt(100); // a record in view
    ASSERT_TRUE(screen.resultsModel->isParentRow(row));
    clickCheckBox(row);
    EXPECT_EQ(bar.value(), place) << "a tick";
    widgettest::click(*screen.btnSelectUnselectAll, {11, 7});
    EXPECT_EQ(bar.value(), place) << "Select all";
    clickShowDetails(row);
    EXPECT_EQ(bar.value(), place) << "Show details";
    screen.menuWillOpen(row + 1);
    screen.mainMenu->actions()[0]->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(bar.value(), place) << "an ignore";
    screen.viewWillAppear();
    EXPECT_EQ(bar.value(), place) << "the same list shown again";
}

// The threat badge has the room beside it in its column, and is shortened only past it.
TEST_F(ScanResultScreenTest, ALongBadgeTakesTheRoomItsColumnHas)
{
    const QString threat = "Rogue disk optimizer";
    ScanResult rogue = resultRow(0, "Disk Tuner Pro", {"/Applications/Disk Tuner Pro.app"});
    rogue.subTitleRight = threat.toStdString();
    scanResults().replace({rogue});
    screen.arrayConfig();
    const ScanResultRowFonts fonts(screen.tableView->font());
    auto layoutIn = [&](int width) {
        return ScanResultParentLayout(QRect(0, 0, width, 60), fonts, "Threat:", threat, "Show details");
    };
    const ScanResultParentLayout wide = layoutIn(rows().width());
    ASSERT_GT(QFontMetrics(fonts.badge).horizontalAdvance(threat), 150) << "longer than the badge once had";
    EXPECT_EQ(wide.badgeText, threat);
    EXPECT_LE(wide.badge.right(), wide.title.right() + 2);

    const ScanResultParentLayout narrow = layoutIn(rows().width() - 80);
    EXPECT_TRUE(narrow.badgeText.endsWith(QChar(0x2026))) << narrow.badgeText.toStdString();
    EXPECT_LE(narrow.badge.right(), narrow.title.right() + 2) << "the badge stays in its column";

    const QPoint badge = wide.badge.center();
    EXPECT_TRUE(toolTipAt(badge).contains(threat));
    QToolTip::hideText();
}

TEST_F(ScanResultScreenTest, GrabALongBadge)
{
    useEnglishTexts();
    ScanResult rogue = resultRow(0, "Disk Tuner Pro", {"/Applications/Disk Tuner Pro.app"});
    rogue.subTitleRight = "Rogue disk optimizer";
    ScanResult longer = resultRow(1, "Mac Booster Elite", {"/Applications/Mac Booster Elite.app"});
    longer.subTitleRight = "Rogue system optimizer with fake scan results and alerts";
    scanResults().replace({rogue, longer, resultRow(2, "Search Lens", {"/Applications/Search Lens.app"})});
    ScanResultViewController shown;
    showInWindow(shown);
    widgettest::saveGrab(window, "scan-results-long-badge");
}

} // namespace
