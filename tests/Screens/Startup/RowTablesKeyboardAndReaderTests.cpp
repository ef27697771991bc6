#include "AccessibleEventLog.h"
#include "Foundation/Settings.h"
#include "ManageScreenTest.h"
#include "Platform/Launchd/LaunchdTestFixture.h"
#include "Platform/Launchd/ServiceManagement.h"
#include "Screens/Common/FileChooser.h"
#include "Screens/Common/RowTable.h"
#include "Screens/Manage/IgnoreListViewController.h"
#include "Screens/Manage/StartupItemsTableModel.h"
#include "Screens/Manage/StartupItemsViewController.h"
#include "Detection/SharedLists.h"
#include "Screens/Scan/ScanResultViewController.h"
#include "Startup/DisabledStartupItemRecords.h"
#include "Startup/LaunchOnStartup.h"
#include "StartupTestWorld.h"

#include "Controls/FlatButton.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

namespace {

namespace fs = std::filesystem;
using platform::Array;
using platform::Dictionary;
using platform::LaunchdDomain;

// One list screen as the keyboard and a screen reader meet it.
struct ListScreen {
    QWidget* screen = nullptr;
    RowTableView* table = nullptr;
    QWidget* nextControl = nullptr; // the control Tab reaches after the table
    int lastControl = 0;            // the rows' last control
    std::vector<QString> names;     // the rows' items, in order
};

struct Case {
    const char* name;
    std::function<ListScreen(std::vector<std::unique_ptr<QWidget>>& kept)> make;
};

template <class Screen>
Screen& shown(std::vector<std::unique_ptr<QWidget>>& kept)
{
    auto* screen = new Screen;
    kept.emplace_back(screen);
    managetest::showInWindow(*screen);
    screen->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(screen));
    return *screen;
}

ListScreen startupManager(std::vector<std::unique_ptr<QWidget>>& kept)
{
    startuptest::plantSessionItem("Driftnote");
    startuptest::plantSessionItem("Notes");
    auto& list = shown<StartupItemsViewController>(kept);
    EXPECT_TRUE(managetest::waitFor([&] { return !list.model().isLoading(); }));
    return {&list, list.tableView, list.btnReload, StartupItemsViewController::switchControl,
            {"Driftnote.app", "Notes.app"}};
}

ListScreen ignoreList(std::vector<std::unique_ptr<QWidget>>& kept)
{
    const std::vector<std::string> paths{"/Users/a/Downloads/Driftnote.dmg", "/Users/a/Desktop/Notes.app"};
    appGroupDefaults()->setObject(SettingsKey::ignoreAllPaths, Array(paths.begin(), paths.end()));
    auto& list = shown<IgnoreListViewController>(kept);
    return {&list, list.tableView, list.btnRefresh, 0, {QString::fromStdString(paths[0]), QString::fromStdString(paths[1])}};
}

ListScreen scanResultsList(std::vector<std::unique_ptr<QWidget>>& kept)
{
    std::vector<ScanResult> records;
    for (const char* title : {"Search Lens", "Mac Booster"}) {
        ScanResult record;
        record.id = static_cast<std::int64_t>(records.size());
        record.isParent = true;
        record.isSelected = true;
        record.title = title;
        record.items = std::vector<ScanResultItem>{{std::string("/Applications/") + title + ".app"}};
        records.push_back(std::move(record));
    }
    scanResults().replace(std::move(records));
    auto& list = shown<ScanResultViewController>(kept);
    return {&list, list.tableView, list.btnCleanNow, 0, {"Search Lens", "Mac Booster"}};
}

const Case cases[] = {
    {"StartupManager", startupManager}, {"IgnoreList", ignoreList}, {"ScanResults", scanResultsList}};

class RowTablesTest : public testsupport::LaunchdTest, public testing::WithParamInterface<Case> {
protected:
    void SetUp() override
    {
        LaunchdTest::SetUp();
        QAccessible::setActive(true);
        managetest::withEnglish([&] { list = GetParam().make(kept); }); // the grabs read as the user does
        ASSERT_EQ(list.table->model()->rowCount(), static_cast<int>(list.names.size()));
    }
    void TearDown() override
    {
        kept.clear();
        scanResults().clear();
        LaunchdTest::TearDown();
    }

    QVariant state(int row, int control) const
    {
        const RowControl& each = list.table->rowControls()[static_cast<std::size_t>(control)];
        const QVariant value = list.table->model()->index(row, 0).data(each.checkedRole);
        return value;
    }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        ASSERT_TRUE(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    void grab(const char* what)
    {
        managetest::withEnglish([&] {
            list.table->viewport()->update();
            widgettest::saveSettledGrab(*list.screen, QString("RowTable-%1-%2").arg(GetParam().name, what));
        });
    }

    screentest::KeyEchoTextTable texts;
    screentest::ScreenSeams seams;
    std::vector<std::unique_ptr<QWidget>> kept;
    ListScreen list;
};

TEST_P(RowTablesTest, TabWalksTheFirstRowsControlsThenLeavesTheTableAndShiftTabComesBack)
{
    list.table->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), list.table);
    EXPECT_EQ(list.table->currentIndex().row(), 0);
    EXPECT_EQ(list.table->currentControl(), 0);
    grab("FirstControlFocused");
    for (int control = 1; control <= list.lastControl; ++control) {
        key(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), list.table);
        EXPECT_EQ(list.table->currentControl(), control);
    }
    grab("LastControlFocused");
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), list.nextControl) << "Tab leaves the table";
    key(Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), list.table);
    EXPECT_EQ(list.table->currentControl(), list.lastControl);
    EXPECT_EQ(list.table->currentIndex().row(), 0);
}

// Down moves the current row, shown selected; Space flips the control the keyboard is
// on in that row, and nothing else.
TEST_P(RowTablesTest, SpaceOnAControlReachedByTheKeyboardFlipsThatRowsItemOnly)
{
    list.table->setFocus(Qt::TabFocusReason);
    key(Qt::Key_Down);
    for (int control = 1; control <= list.lastControl; ++control)
        key(Qt::Key_Tab);
    ASSERT_EQ(list.table->currentIndex().row(), 1);
    EXPECT_EQ(list.table->selectionModel()->selectedRows(), QModelIndexList{list.table->model()->index(1, 0)});
    const QVariant first = state(0, list.lastControl);
    const QVariant before = state(1, list.lastControl);
    key(Qt::Key_Space);
    EXPECT_NE(state(1, list.lastControl), before);
    EXPECT_EQ(state(0, list.lastControl), first);
    EXPECT_EQ(QApplication::focusWidget(), list.table);
}

// Home and End reach the list's first and last rows, selected, as Up and Down reach the next.
TEST_P(RowTablesTest, HomeAndEndGoToTheFirstAndTheLastRow)
{
    list.table->setFocus(Qt::TabFocusReason);
    const int last = list.table->model()->rowCount() - 1;
    for (const auto& [key, row] : {std::pair{Qt::Key_End, last}, {Qt::Key_Home, 0}, {Qt::Key_End, last}}) {
        this->key(key);
        EXPECT_EQ(list.table->currentIndex().row(), row);
        EXPECT_EQ(list.table->selectionModel()->selectedRows(), QModelIndexList{list.table->model()->index(row, 0)});
    }
}

// Searches the accessible tree under `root` for an object of that name.
QAccessibleInterface* findNamed(QAccessibleInterface* root, const QString& name, int depth = 0)
{
    if (!root || depth > 12)
        return nullptr;
    if (root->text(QAccessible::Name).contains(name))
        return root;
    for (int child = 0; child < root->childCount(); ++child)
        if (QAccessibleInterface* found = findNamed(root->child(child), name, depth + 1))
            return found;
    return nullptr;
}

TEST_P(RowTablesTest, AReaderFindsEveryRowAndItsControlsByTheItemsName)
{
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(list.table);
    ASSERT_TRUE(table && table->tableInterface());
    EXPECT_EQ(table->role(), QAccessible::Table);
    EXPECT_FALSE(table->text(QAccessible::Name).isEmpty()) << "the table is named by its list";
    EXPECT_EQ(table->tableInterface()->columnDescription(0), list.table->model()->headerData(0, Qt::Horizontal));
    EXPECT_FALSE(table->tableInterface()->columnDescription(0).isEmpty());
    for (int row = 0; row < static_cast<int>(list.names.size()); ++row) {
        const QString& name = list.names[static_cast<std::size_t>(row)];
        SCOPED_TRACE(name.toStdString());
        QAccessibleInterface* cell = table->tableInterface()->cellAt(row, 0);
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell->text(QAccessible::Name), name) << "named by its item alone, as its check boxes";
        EXPECT_EQ(findNamed(QAccessible::queryAccessibleInterface(list.screen->window()), name), cell)
            << "found from the window";
        ASSERT_EQ(cell->childCount(), list.lastControl + 1);
        for (int control = 0; control <= list.lastControl; ++control) {
            QAccessibleInterface* each = cell->child(control);
            EXPECT_EQ(each->role(), QAccessible::CheckBox);
            EXPECT_EQ(each->text(QAccessible::Name), name);
            EXPECT_TRUE(each->state().checkable);
            EXPECT_EQ(each->parent(), cell);
            EXPECT_EQ(cell->indexOfChild(each), control);
        }
    }
    // The reader's Toggle flips the second row's last control, and only that.
    const QVariant first = state(0, list.lastControl);
    const QVariant before = state(1, list.lastControl);
    QAccessibleInterface* control = table->tableInterface()->cellAt(1, 0)->child(list.lastControl);
    control->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_NE(state(1, list.lastControl), before);
    EXPECT_EQ(state(0, list.lastControl), first);
    EXPECT_EQ(control->state().checked, !before.toBool() && before != Qt::Checked);
}

// A reader hears a control it holds change state, whether its own Toggle, the
// keyboard or a click flipped it; and of that control only.
TEST_P(RowTablesTest, AReaderHearsTheControlItHoldsChangeState)
{
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(list.table);
    QAccessibleInterface* control = table->tableInterface()->cellAt(1, 0)->child(list.lastControl);
    ASSERT_TRUE(control);
    const auto heardChanges = [&](const std::function<void()>& flip) {
        const bool before = control->state().checked;
        widgettest::AccessibleEventLog log;
        flip();
        EXPECT_NE(control->state().checked, before);
        std::vector<QString> heard;
        for (const auto& event : log.events)
            if (event.type == QAccessible::StateChanged) {
                EXPECT_EQ(event.target, QAccessible::uniqueId(control)) << event.name.toStdString();
                EXPECT_TRUE(event.state.checked);
                heard.push_back(event.name);
            }
        return heard;
    };
    const std::vector<QString> once{list.names[1]};
    EXPECT_EQ(heardChanges([&] { control->actionInterface()->doAction(QAccessibleActionInterface::toggleAction()); }),
              once);
    EXPECT_EQ(heardChanges([&] {
                  list.table->setFocus(Qt::TabFocusReason);
                  key(Qt::Key_Down);
                  for (int each = 1; each <= list.lastControl; ++each)
                      key(Qt::Key_Tab);
                  key(Qt::Key_Space);
              }),
              once);
    EXPECT_EQ(heardChanges([&] {
                  widgettest::click(*list.table->viewport(), list.table->controlRect(1, list.lastControl).center());
              }),
              once);
}

// A change of the current row while the keyboard is elsewhere raises no focus event,
// as a reload does; with the keyboard in the table the reader hears the new row.
TEST_P(RowTablesTest, TheTableRaisesFocusEventsOnlyWhileItHasTheKeyboard)
{
    list.nextControl->setFocus(Qt::TabFocusReason);
    widgettest::AccessibleEventLog log;
    list.table->setCurrentIndex(list.table->model()->index(1, 0));
    QCoreApplication::processEvents();
    for (const auto& event : log.events)
        EXPECT_NE(event.type, QAccessible::Focus) << event.name.toStdString();

    list.table->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    log.events.clear();
    key(Qt::Key_Up);
    const auto focus = std::find_if(log.events.begin(), log.events.end(),
                                    [](const auto& event) { return event.type == QAccessible::Focus; });
    ASSERT_NE(focus, log.events.end());
    EXPECT_EQ(focus->name, list.names[0]) << "the first row's tick box";
}

INSTANTIATE_TEST_SUITE_P(Lists, RowTablesTest, testing::ValuesIn(cases),
                         [](const auto& info) { return std::string(info.param.name); });

class StartupListTest : public testsupport::LaunchdTest {
protected:
    void SetUp() override
    {
        LaunchdTest::SetUp();
        QAccessible::setActive(true);
    }

    void makeList()
    {
        list = std::make_unique<StartupItemsViewController>();
        managetest::showInWindow(*list);
        list->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(list.get()));
        ASSERT_TRUE(managetest::waitFor([&] { return !list->model().isLoading(); }));
    }

    screentest::KeyEchoTextTable texts;
    screentest::ScreenSeams seams;
    std::unique_ptr<StartupItemsViewController> list;
};

// Space on Select all ticks the list and leaves the keyboard, and the reader, on it.
TEST_F(StartupListTest, SelectAllRaisesNoFocusEventForTheTable)
{
    for (const char* name : {"Driftnote", "Notes", "Photo Organizer"})
        startuptest::plantSessionItem(name);
    makeList();
    EXPECT_EQ(list->checkBoxSelectAll->accessibleName(), "IDS_BGX_290");
    list->checkBoxSelectAll->setFocus(Qt::TabFocusReason);
    widgettest::AccessibleEventLog log;
    QTest::keyClick(list->checkBoxSelectAll, Qt::Key_Space);
    QCoreApplication::processEvents();
    EXPECT_EQ(list->lblSelectedItems->text(), "3/3");
    EXPECT_EQ(QApplication::focusWidget(), list->checkBoxSelectAll);
    for (const auto& event : log.events) {
        if (event.type == QAccessible::Focus) {
            EXPECT_EQ(event.object, list->checkBoxSelectAll) << event.name.toStdString();
        }
    }
    for (QWidget* control : {static_cast<QWidget*>(list->checkBoxSelectAll), static_cast<QWidget*>(list->tableView),
                             static_cast<QWidget*>(list->btnReload), static_cast<QWidget*>(list->btnDeleteItems)})
        EXPECT_FALSE(QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).isEmpty())
            << control->objectName().toStdString();
}

// A row's other columns, and what tells two items of a name apart, are its description.
TEST_F(StartupListTest, AReaderHearsARowsPublisherStatusAndPlaceAsItsDescription)
{
    startuptest::plantSessionItem("Driftnote");
    makeList();
    QAccessibleInterface* cell = QAccessible::queryAccessibleInterface(list->tableView)->tableInterface()->cellAt(0, 0);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->text(QAccessible::Name), "Driftnote.app");
    const QString description = cell->text(QAccessible::Description);
    EXPECT_TRUE(description.startsWith("IDS_BGX_37: ")) << description.toStdString();
    EXPECT_TRUE(description.contains(", IDS_BGX_38: IDS_BGX_23, ")) << description.toStdString();
    EXPECT_TRUE(description.endsWith("Driftnote.app")) << description.toStdString();
}

// 300 launch agents of the user's, off, and the product's own agent, on: Refresh,
// and a click on the first row's switch while the list loads, and again the moment
// the new rows are handed to the table (before it laid them out or painted them). The
// first row's item is switched, or nothing; never another, the product's agent least.
TEST_F(StartupListTest, AClickDuringAReloadSwitchesTheClickedRowsItemOrNothing)
{
    const fs::path agents = testsupport::homeFolder() / "Library/LaunchAgents";
    for (int each = 1; each <= 300; ++each) {
        const std::string label = QString("com.example.many%1").arg(each, 3, 10, QChar('0')).toStdString();
        startuptest::plantPlist(agents / (label + ".plist"),
                                Dictionary{{"Label", label}, {"ProgramArguments", Array{"/bin/sleep", "30"}}});
    }
    const std::string productAgent = "com.tarnwicklabs.activeguardsentinelwarden";
    const Dictionary agentJob{{"Label", productAgent}, {"ProgramArguments", Array{"/bin/sleep", "30"}}};
    startuptest::plantPlist(agents / (productAgent + ".plist"), agentJob);
    ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::User, agentJob, nullptr, nullptr));
    makeList();
    list->btnLaunchAgents->click();
    RowTableView& table = *list->tableView;
    ASSERT_EQ(table.model()->rowCount(), 301);
    const QString firstRow = table.model()->index(0, 0).data(RowTableView::itemKeyRole).toString();
    ASSERT_TRUE(firstRow.contains("com.example.many001"));
    const auto clickFirstRowsSwitch = [&] {
        widgettest::click(*table.viewport(), table.controlRect(0, StartupItemsViewController::switchControl).center());
    };
    const auto loadedLabels = [] {
        std::vector<std::string> labels;
        for (const platform::Value& job : platform::SMCopyAllJobDictionaries(LaunchdDomain::User))
            labels.push_back(*job.asDictionary()->at("Label").asText());
        std::ranges::sort(labels);
        return labels;
    };
    ASSERT_EQ(loadedLabels(), std::vector<std::string>{productAgent});

    list->clickedReload();
    clickFirstRowsSwitch(); // while the list loads
    EXPECT_EQ(loadedLabels(), std::vector<std::string>{productAgent});
    QMetaObject::Connection handedOver = QObject::connect(table.model(), &QAbstractItemModel::modelReset, &table,
                                                          [&] { clickFirstRowsSwitch(); });
    ASSERT_TRUE(managetest::waitFor([&] { return !list->model().isLoading(); }));
    QObject::disconnect(handedOver);
    const std::vector<std::string> loaded = loadedLabels();
    EXPECT_TRUE(loaded == std::vector<std::string>{productAgent}
                || loaded == (std::vector<std::string>{"com.example.many001", productAgent}))
        << testing::PrintToString(loaded);
    EXPECT_EQ(table.model()->index(0, 0).data(RowTableView::itemKeyRole).toString(), firstRow);
    EXPECT_TRUE(disabledLaunchAgents().empty()) << "no switched-off record written";
}

// After the file chooser (a window of its own, active while it is open) the screen's
// window is active again, and the keyboard is on Add, or on the row just added.
class IgnoreListChooserTest : public testsupport::LaunchdTest {
protected:
    // Space on Add, the chooser's window taking the activation, then its answer.
    void chooseWithTheKeyboard(int response, const std::vector<std::string>& paths)
    {
        QTest::keyClick(screen.btnAdd, Qt::Key_Space);
        ASSERT_TRUE(seams.chooserPending());
        QWidget chooser;
        chooser.show();
        chooser.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&chooser));
        chooser.hide(); // closed, as a dialog is before it answers
        QCoreApplication::processEvents();
        seams.answerChooser(response, paths);
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &screen; }));
    }

    screentest::KeyEchoTextTable texts;
    screentest::ScreenSeams seams;
    IgnoreListViewController screen;
};

TEST_F(IgnoreListChooserTest, TheKeyboardIsOnAddOrTheNewRowAfterTheChooser)
{
    managetest::showInWindow(screen);
    screen.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&screen));
    screen.btnAdd->setFocus(Qt::TabFocusReason);
    chooseWithTheKeyboard(fileChooserCancel, {});
    EXPECT_EQ(QApplication::focusWidget(), screen.btnAdd);

    const std::string added = testsupport::underRoot("/Users/a/Downloads/new.dmg").string();
    fs::create_directories(fs::path(added).parent_path());
    std::ofstream(added) << "x";
    chooseWithTheKeyboard(fileChooserOK, {added});
    EXPECT_EQ(QApplication::focusWidget(), screen.tableView);
    EXPECT_EQ(screen.tableView->currentIndex().data().toString().toStdString(), added);
}

} // namespace
