#include "AccessibleEventLog.h"
#include "AppShellTest.h"

#include "../../Platform/Workspace/PlantedApplication.h"

#include "App/AllViewControllers.h"
#include "App/AppDelegate.h"
#include "App/InitialWindowController.h"
#include "App/ViewController.h"
#include "Controls/FlatButton.h"
#include "Controls/HyperlinkTextField.h"
#include "Detection/Clean.h"
#include "Detection/Scan.h"
#include "Detection/SharedLists.h"
#include "Foundation/Settings.h"
#include "Foundation/SharedState.h"
#include "Platform/FileManager/FileManager.h"
#include "ScreenSeams.h"
#include "Foundation/PresentationSlots.h"
#include "Screens/Common/ScreenStyle.h"
#include "Screens/Scan/CleanProcessViewController.h"
#include "Screens/Common/RecommendedAppsPanel.h"
#include "Screens/Scan/OverviewViewController.h"
#include "Screens/Scan/ScanProcessViewController.h"
#include "Screens/Scan/ScanResultTableModel.h"
#include "Screens/Scan/ScanResultTableView.h"
#include "Screens/Scan/ScanResultViewController.h"
#include "Screens/Scan/ScanViewController.h"
#include "WidgetTestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QToolTip>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
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
        plantFindings();
        AppDelegate::shared().applicationWillFinishLaunching();
        AllViewControllers::overviewViewController().btnStartScanNow->click();
        ASSERT_TRUE(platform::dispatch::runMainLoopUntil(
            [&] { return !Scan::shared().isScanRunning && results().parentWidget() == container().containerView.data(); },
            60s));
        ASSERT_EQ(foundItems(), 5) << "the three planted items and the two files the records name inside them";
        ASSERT_TRUE(results().btnCleanNow->isEnabled()) << "a fresh result list is all selected";
    }

    void plantFindings()
    {
        const fs::path home = testsupport::homeFolder();
        app = testsupport::plantFile(testsupport::underRoot("/Applications/Qlorvex Mac Booster.app") /
                                         "Contents/Info.plist", "<plist/>")
                  .parent_path()
                  .parent_path();
        support = home / "Library/Application Support/Snapfyre";
        testsupport::plantFile(support / "settings.dat", "cache");
        download = testsupport::plantFile(home / "Downloads/SnapfyreInstaller.dmg", "installer");
    }

    // Answers Clean Now's sheet with Yes and waits for the clean's result.
    void confirmAndWaitForTheResult()
    {
        seams.answerSheet(alertFirstButtonReturn);
        EXPECT_EQ(clean().parentWidget(), container().containerView.data()) << "the clean screen follows the start";
        ASSERT_TRUE(platform::dispatch::runMainLoopUntil(
            [&] { return clean().boxCleanResult->isVisible() && !Clean::shared().isCleanRunning; }, 60s));
    }

    void cleanNowAndConfirm()
    {
        results().btnCleanNow->click();
        ASSERT_TRUE(seams.sheetPending());
        confirmAndWaitForTheResult();
    }

    // Answers Yes, waits for the result and checks that every finding went to the Trash.
    void confirmAndCleanToEnd()
    {
        ASSERT_NO_FATAL_FAILURE(confirmAndWaitForTheResult());
        const fs::path trash = platform::userTrashPath();
        for (const fs::path& item : {app, support, download}) {
            EXPECT_FALSE(fs::exists(item)) << item;
            EXPECT_TRUE(fs::exists(trash / item.filename())) << item.filename();
        }
        EXPECT_EQ(clean().lblDeceptiveAppItemsDeleted->text(), "5 items removed");
    }

    // The row of a listed path, the records' details opened on the way; -1 when it is
    // not listed.
    static int pathRow(const fs::path& path)
    {
        const ScanResultTableModel& model = *results().resultsModel;
        for (int row = 0; row < model.rowCount(); ++row) {
            if (model.pathAt(row) == path.string())
                return row;
            if (model.isParentRow(row) &&
                !model.data(model.index(row, 0), ScanResultTableModel::isShowDetailsRole).toBool())
                results().clickedShowDetailsResultItem(row); // its paths come in under it
        }
        return -1;
    }

    // A right click on the path's row: its menu opens.
    static void openThePathMenu(const fs::path& path)
    {
        const int row = pathRow(path);
        ASSERT_GE(row, 0) << path;
        QAbstractItemView& table = *results().tableView;
        table.scrollTo(table.model()->index(row, 0));
        const QPoint at = table.visualRect(table.model()->index(row, 0)).center();
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, at, table.viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(table.viewport(), &rightClick);
        ASSERT_TRUE(results().mainMenu->isVisible());
        ASSERT_EQ(results().mainMenu->actions().size(), 2);
    }

    // The action of the path's menu that shows `text`, chosen.
    static void chooseInThePathMenu(const fs::path& path, const QString& text)
    {
        ASSERT_NO_FATAL_FAILURE(openThePathMenu(path));
        QMenu& menu = *results().mainMenu;
        const auto actions = menu.actions();
        const auto chosen = std::ranges::find(actions, text, &QAction::text);
        ASSERT_NE(chosen, actions.end()) << text.toStdString();
        menu.close();
        (*chosen)->trigger();
    }

    static void addToIgnoreListFromThePathMenu(const fs::path& path)
    {
        chooseInThePathMenu(path, "Add to Ignore List");
    }

    static std::vector<std::string> listedPaths()
    {
        std::vector<std::string> paths;
        for (const ScanResult& row : scanResults().snapshot())
            for (const ScanResultItem& item : row.items.value_or(std::vector<ScanResultItem>{}))
                paths.push_back(item.path.value_or("?"));
        return paths;
    }

    // The number at the head of the result's removed line.
    static std::int64_t shownRemoved() { return clean().lblDeceptiveAppItemsDeleted->text().section(' ', 0, 0).toLongLong(); }

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
    // The total grows by the number the result shows.
    EXPECT_EQ(removedSoFar(), removedBefore + 5);
    widgettest::saveGrab(content(), "main-window-clean-result");

    clean().btnHome->click();
    OverviewViewController& overview = AllViewControllers::overviewViewController();
    EXPECT_EQ(overview.parentWidget(), content().containerView.data()) << "Home shows the Overview";
    EXPECT_TRUE(overview.lblTotalDeceptiveAppsRemoved->text().startsWith(QString::number(removedBefore + 5) + " "))
        << overview.lblTotalDeceptiveAppsRemoved->text().toStdString();
    widgettest::saveGrab(content(), "main-window-overview-after-clean");
}

// Tab until `target` has the keyboard; false when it never comes.
bool tabTo(QWidget& target)
{
    for (int step = 0; step < 60 && QApplication::focusWidget() != &target; ++step)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    return QApplication::focusWidget() == &target;
}

void pressSpace()
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
}

bool holdsTheKeyboard(const QWidget& screen)
{
    const QWidget* focused = QApplication::focusWidget();
    return focused && screen.isAncestorOf(focused);
}

// A keyboard user with a screen reader: every screen names its controls, and each screen
// that replaces the one holding the keyboard takes it, so the reader says what came.
TEST_F(CleanFromResults, TheKeyboardFollowsEachScreenFromScanStartToTheCleanResult)
{
    plantFindings();
    AppDelegate::shared().applicationWillFinishLaunching();
    QWidget& window = *AllViewControllers::initialWindowController().window();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&window)->text(QAccessible::Name), "Bastion Guardpoint");
    OverviewViewController& overview = AllViewControllers::overviewViewController();
    widgettest::expectEveryFocusableControlNamed(content());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(overview.btnSystemInfo)->text(QAccessible::Name),
              "About Your Computer") << "not its glyph";

    ASSERT_TRUE(tabTo(*overview.btnStartScanNow));
    pressSpace();
    ScanProcessViewController& progress = AllViewControllers::scanProcessViewController();
    EXPECT_TRUE(holdsTheKeyboard(progress)) << "the scan start hands the keyboard to its progress";
    ASSERT_TRUE(platform::dispatch::runMainLoopUntil(
        [&] { return !Scan::shared().isScanRunning && results().parentWidget() == container().containerView.data(); },
        60s));
    EXPECT_EQ(QApplication::focusWidget(), results().tableView) << "the results take it in their table";
    EXPECT_EQ(QAccessible::queryAccessibleInterface(results().tableView)->text(QAccessible::Description).toStdString(),
              results().lblTotalDeceptiveAppFound->text().toStdString() + " deceptive application items found")
        << "with their count";
    widgettest::expectEveryFocusableControlNamed(results());

    ASSERT_TRUE(tabTo(*results().btnCleanNow));
    pressSpace();
    ASSERT_TRUE(seams.sheetPending());
    seams.answerSheet(alertFirstButtonReturn);
    EXPECT_TRUE(holdsTheKeyboard(clean()));
    ASSERT_TRUE(platform::dispatch::runMainLoopUntil(
        [&] { return clean().boxCleanResult->isVisible() && !Clean::shared().isCleanRunning; }, 60s));
    EXPECT_EQ(QApplication::focusWidget(), clean().btnHome) << "the clean's result takes it on Home, not " << QApplication::focusWidget()->objectName().toStdString();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(clean().btnHome)->text(QAccessible::Description),
              (QStringList{clean().lblCleanupStatus->text(), clean().lblDeceptiveAppItemsDeleted->text(),
                           clean().lblYouNowHaveDeceptiveAppItems->text()}
                   .join('\n')))
        << "Home carries the clean's result";
    widgettest::expectEveryFocusableControlNamed(clean());
    widgettest::saveGrab(content(), "main-window-clean-result-home-focused");

    // A page with no opener on the desktop says so, as a folder does.
    seams.openSucceeds = false;
    for (QWidget* link : std::initializer_list<QWidget*>{clean().boxRecommendedApp->btnDownloadNow, clean().btnTwitter}) {
        const std::size_t sheetsBefore = seams.sheets.size();
        ASSERT_TRUE(tabTo(*link));
        pressSpace();
        ASSERT_EQ(seams.sheets.size(), sheetsBefore + 1) << link->objectName().toStdString();
        EXPECT_EQ(seams.sheets.back().messageText, "The page could not be opened");
        EXPECT_EQ(seams.sheets.back().informativeText,
                  "No web browser could be started to open “" + seams.openedURLs.back() + "”.");
        seams.answerSheet(alertFirstButtonReturn);
    }

    ASSERT_TRUE(tabTo(*clean().btnHome));
    const widgettest::AccessibleEventLog reader;
    pressSpace();
    EXPECT_EQ(QApplication::focusWidget(), overview.btnStartScanNow) << "Home hands it to the Overview's action";
    const auto moves = reader.of(QAccessible::Focus, window);
    ASSERT_EQ(moves.size(), 1u) << "one focus event for the screen change";
    EXPECT_EQ(moves[0].object, overview.btnStartScanNow);
}

// Rescan in the results' heading is a link the keyboard reaches and Space presses.
TEST_F(CleanFromResults, RescanIsReachedByTabAndPressedBySpace)
{
    ASSERT_NO_FATAL_FAILURE(launchAndScan());
    QWidget& window = *AllViewControllers::initialWindowController().window();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    results().tableView->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(tabTo(*results().btnRescan));
    QAccessibleInterface* rescan = QAccessible::queryAccessibleInterface(results().btnRescan);
    EXPECT_EQ(rescan->text(QAccessible::Name), "Rescan");
    EXPECT_TRUE(rescan->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    pressSpace();
    ScanProcessViewController& progress = AllViewControllers::scanProcessViewController();
    EXPECT_EQ(progress.parentWidget(), container().containerView.data()) << "a new scan runs";
    EXPECT_TRUE(holdsTheKeyboard(progress));
    ASSERT_TRUE(platform::dispatch::runMainLoopUntil([] { return !Scan::shared().isScanRunning; }, 60s));
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

// An application put on the ignore list from its row's path menu leaves the results
// with everything inside it, and the clean leaves every file of it on disk.
TEST_F(CleanFromResults, AnApplicationIgnoredFromThePathMenuKeepsEverythingInsideIt)
{
    const std::int64_t removedBefore = removedSoFar();
    ASSERT_NO_FATAL_FAILURE(launchAndScan());
    ASSERT_NO_FATAL_FAILURE(addToIgnoreListFromThePathMenu(app));
    EXPECT_EQ(appGroupDefaults()->array(SettingsKey::ignoreAllPaths), platform::Array{app.string()});
    for (const std::string& path : listedPaths())
        EXPECT_FALSE(path.starts_with(app.string())) << path << " is still listed";
    EXPECT_EQ(foundItems(), 3);
    widgettest::saveGrab(content(), "main-window-results-application-ignored");

    ASSERT_NO_FATAL_FAILURE(cleanNowAndConfirm());
    EXPECT_TRUE(fs::exists(app / "Contents/Info.plist"));
    EXPECT_FALSE(fs::exists(support));
    EXPECT_FALSE(fs::exists(download));
    EXPECT_EQ(clean().lblDeceptiveAppItemsDeleted->text(), "3 items removed");
    EXPECT_EQ(removedSoFar(), removedBefore + 3);
    EXPECT_TRUE(scanResults().empty());
    widgettest::saveGrab(content(), "main-window-clean-result-application-ignored");
}

// A file inside a ticked bundle put on the ignore list: the bundle stays ticked and
// listed, and the clean keeps it (removing it would remove the file) and says why.
TEST_F(CleanFromResults, AFileIgnoredInsideATickedBundleKeepsTheBundle)
{
    const std::int64_t removedBefore = removedSoFar();
    ASSERT_NO_FATAL_FAILURE(launchAndScan());
    const fs::path plist = app / "Contents/Info.plist";
    ASSERT_NO_FATAL_FAILURE(addToIgnoreListFromThePathMenu(plist));
    EXPECT_EQ(appGroupDefaults()->array(SettingsKey::ignoreAllPaths), platform::Array{plist.string()});
    EXPECT_EQ(std::ranges::count(listedPaths(), plist.string()), 0);
    EXPECT_EQ(std::ranges::count(listedPaths(), app.string()), 1);
    EXPECT_TRUE(results().btnCleanNow->isEnabled());
    widgettest::saveGrab(content(), "main-window-results-file-in-bundle-ignored");

    ASSERT_NO_FATAL_FAILURE(cleanNowAndConfirm());
    EXPECT_TRUE(fs::exists(plist));
    EXPECT_FALSE(fs::exists(support));
    EXPECT_FALSE(fs::exists(download));
    EXPECT_EQ(listedPaths(), std::vector<std::string>{app.string()}) << "the bundle kept stays listed";
    EXPECT_EQ(clean().lblDeceptiveAppItemsDeleted->text(), "3 items removed");
    EXPECT_EQ(clean().lblYouNowHaveDeceptiveAppItems->text(), "You now have 1 deceptive app item left.");
    EXPECT_EQ(clean().lblCleanupStatus->text(), "Cleanup not finished");
    EXPECT_TRUE(clean().lblKeptItems->isVisible());
    EXPECT_EQ(clean().lblKeptItems->text(),
              "“Qlorvex Mac Booster.app” was kept: it holds a path you keep on the ignore list.");
    EXPECT_EQ(removedSoFar(), removedBefore + 3);
    widgettest::saveGrab(content(), "main-window-clean-result-bundle-kept");

    // Its tool tip gives the whole path, in the screens' dark look.
    QLabel& kept = *clean().lblKeptItems;
    QHelpEvent hover(QEvent::ToolTip, QPoint(4, 4), kept.mapToGlobal(QPoint(4, 4)));
    QCoreApplication::sendEvent(&kept, &hover);
    QWidget* tip = nullptr;
    for (QWidget* each : QApplication::topLevelWidgets())
        if (each->inherits("QTipLabel") && each->isVisible())
            tip = each;
    ASSERT_TRUE(tip);
    EXPECT_TRUE(widgettest::nearColor(tip->palette().color(QPalette::ToolTipBase), screenstyle::panelColor));
    widgettest::saveGrab(*tip, "tool-tip-kept-item");
    QToolTip::hideText();
}

// Show in File Manager where the desktop has no opener for the folder: a sheet on the
// main window says so. The path menu and the sheet wear the screens' dark look.
TEST_F(CleanFromResults, ShowInFileManagerWithoutAnOpenerSaysSoOnASheet)
{
    ASSERT_NO_FATAL_FAILURE(launchAndScan());
    ASSERT_NO_FATAL_FAILURE(openThePathMenu(download));
    QMenu& menu = *results().mainMenu;
    EXPECT_TRUE(widgettest::nearColor(menu.palette().color(QPalette::Window), screenstyle::panelColor));
    widgettest::saveGrab(menu, "path-menu");
    menu.close();

    seams.revealSucceeds = false;
    ASSERT_NO_FATAL_FAILURE(chooseInThePathMenu(download, "Show in File Manager"));
    EXPECT_EQ(seams.revealedPaths, std::vector<std::string>{download.string()});
    ASSERT_EQ(seams.sheets.size(), 1u);
    EXPECT_EQ(seams.sheetWindows[0], AllViewControllers::initialWindowController().window());
    EXPECT_EQ(seams.sheets[0].messageText, "The folder could not be opened");
    EXPECT_EQ(seams.sheets[0].informativeText,
              "No file manager could be started to show the folder “" + download.parent_path().string() + "”.");
    EXPECT_EQ(seams.sheets[0].buttons, std::vector<std::string>{"OK"});
    seams.answerSheet(alertFirstButtonReturn);

    seams.revealSucceeds = true;
    ASSERT_NO_FATAL_FAILURE(chooseInThePathMenu(download, "Show in File Manager"));
    EXPECT_EQ(seams.sheets.size(), 1u) << "a folder shown needs no word";

    setSheetPresenter({}); // the real sheet, for its look
    seams.revealSucceeds = false;
    ASSERT_NO_FATAL_FAILURE(chooseInThePathMenu(download, "Show in File Manager"));
    const auto boxes = AllViewControllers::initialWindowController().findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 1);
    widgettest::saveGrab(*boxes.front(), "show-in-file-manager-failed-sheet");
    boxes.front()->buttons().at(0)->click();
    EXPECT_FALSE(dimmingOverlay());
}

// Items gone before Clean Now count as the result counts them, in the total too.
TEST_F(CleanFromResults, TheResultAndTheTotalAgreeWhenItemsWentBeforeTheClean)
{
    const std::int64_t removedBefore = removedSoFar();
    ASSERT_NO_FATAL_FAILURE(launchAndScan());
    fs::remove(download);
    fs::remove(support / "settings.dat");
    ASSERT_NO_FATAL_FAILURE(cleanNowAndConfirm());
    EXPECT_EQ(shownRemoved(), 5);
    EXPECT_EQ(removedSoFar() - removedBefore, shownRemoved());
}

} // namespace
