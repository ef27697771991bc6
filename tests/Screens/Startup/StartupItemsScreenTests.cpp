#include "Controls/FlatButton.h"
#include "Foundation/IndexVocabularies.h"
#include "Foundation/Settings.h"
#include "Foundation/SharedState.h"
#include "ManageScreenTest.h"
#include "Platform/Authorization/AuthorizationAgent.h"
#include "Platform/Launchd/LaunchdTestFixture.h"
#include "Platform/Launchd/ServiceManagement.h"
#include "Platform/LoginItems/SharedFileList.h"
#include "Platform/Values/PropertyList.h"
#include "Screens/Common/AuthorizationDialog.h"
#include "Screens/Common/AuthorizationPrompt.h"
#include "Screens/Manage/CleanProcessStartupItemsViewController.h"
#include "Screens/Manage/StartupItemsViewController.h"
#include "Screens/Common/RowTable.h"
#include "Screens/Manage/StartupItemsTableModel.h"
#include "Screens/Manage/StartupMangerViewController.h"
#include "Startup/DisabledStartupItemRecords.h"
#include "Startup/LaunchOnStartup.h"
#include "Startup/LoginItem.h"
#include "HostileEntries.h"
#include "RowTableChrome.h"
#include "StartupTestWorld.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QToolTip>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using platform::Array;
using platform::Dictionary;
using platform::LaunchdDomain;
using startuptest::host;

// The startup manager as the application has it: the container, the list and the
// clean screen over the list's model, in a fresh root with its own launchd.
class StartupScreensTest : public testsupport::LaunchdTest {
protected:
    void SetUp() override
    {
        LaunchdTest::SetUp();
        isStartupItemsCleanPaused = false;
        isStartupItemsCleanAborted = false;
    }

    static std::string userAgents() { return (testsupport::homeFolder() / "Library/LaunchAgents").string(); }

    // A job plist in a launchd folder, loaded into launchd when asked.
    static void plantAgent(const std::string& folder, const std::string& label, bool loaded)
    {
        const Dictionary job{{"Label", label}, {"ProgramArguments", Array{"/bin/sleep", "30"}}};
        startuptest::plantPlist(fs::path(folder) / (label + ".plist"), job);
        if (loaded) {
            ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::User, job, nullptr, nullptr));
        }
    }

    static bool isLoaded(const std::string& label)
    {
        return platform::SMJobCopyDictionary(LaunchdDomain::User, label).has_value();
    }

    // The screens, made once the root is planted; returns when both lists are in.
    void makeScreens()
    {
        list = std::make_unique<StartupItemsViewController>();
        list->model().pauseAfterEachRemoval = [] {};
        clean = std::make_unique<CleanProcessStartupItemsViewController>(
            [this]() -> const StartupItemsModel& { return list->model(); });
        manager = std::make_unique<StartupMangerViewController>([this](StartupItemsState state) -> QWidget& {
            return state == StartupItemsState::cleanStartupItems ? static_cast<QWidget&>(*clean) : *list;
        });
        managetest::showInWindow(*manager);
        waitForLists();
    }

    void waitForLists()
    {
        ASSERT_TRUE(managetest::waitFor([&] {
            return !list->model().isLoading();
        }));
    }

    // A click on a row's control, as the user makes it.
    void clickControl(int row, int control)
    {
        RowTableView& table = *list->tableView;
        table.scrollTo(table.model()->index(row, 0));
        const QRect place = table.controlRect(row, control);
        ASSERT_FALSE(place.isEmpty()) << "row " << row << " has no control " << control;
        widgettest::click(*table.viewport(), place.center());
    }
    void clickSwitch(int row) { clickControl(row, StartupItemsViewController::switchControl); }
    void clickCheckBox(int row) { clickControl(row, StartupItemsViewController::tickBoxControl); }

    // What the row shows.
    QVariant rowData(int row, int role) const { return list->tableView->model()->index(row, 0).data(role); }
    int rowCount() const { return list->tableView->model()->rowCount(); }
    QString rowName(int row) const { return rowData(row, Qt::DisplayRole).toString(); }
    QString statusText(int row) const { return rowData(row, StartupItemsTableModel::statusRole).toString(); }
    bool isSwitchOn(int row) const { return rowData(row, StartupItemsTableModel::switchOnRole).toBool(); }
    bool isTicked(int row) const { return rowData(row, Qt::CheckStateRole) == Qt::Checked; }

    // What the row's switch does (a service-management item's switch takes no clicks;
    // the screen switches whatever it is told).
    void postToggle(int row, bool on) { list->toggleStartupItem(on, row); }

    // Deletes the selected rows of the shown list with the sheet answered `response`.
    void deleteSelected(int response)
    {
        list->btnDeleteItems->click();
        ASSERT_TRUE(seams.sheetPending());
        EXPECT_TRUE(isStartupItemsCleanStarted);
        seams.answerSheet(response);
        EXPECT_FALSE(isStartupItemsCleanStarted);
    }

    // The manager's look once its layouts have settled and its switches stopped moving.
    void grab(const QString& name)
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
        widgettest::saveGrab(*manager, name);
    }

    // The manager with the row's tool tip shown over it, as the user sees it on hovering.
    void grabWithToolTip(int row, const QString& name)
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
        QWidget& cell = *list->tableView->viewport();
        const QRect place = list->tableView->visualRect(list->tableView->model()->index(row, 0));
        const QPoint hovered(place.width() / 3, place.center().y());
        QToolTip::showText(cell.mapToGlobal(hovered), rowData(row, Qt::ToolTipRole).toString(), &cell);
        QWidget* tip = nullptr;
        for (QWidget* each : QApplication::topLevelWidgets())
            if (each->inherits("QTipLabel") && each->isVisible())
                tip = each;
        ASSERT_TRUE(tip) << "no tool tip shown";
        QPixmap shown = manager->grab();
        const QPoint below = cell.mapTo(manager.get(), hovered) + QPoint(12, 16);
        tip->render(&shown, QPoint(std::min(below.x(), shown.width() - tip->width()), below.y())); // kept on screen
        QToolTip::hideText();
        QLabel composed;
        composed.setPixmap(shown);
        composed.resize(shown.size());
        widgettest::saveGrab(composed, name);
    }

    screentest::KeyEchoTextTable texts;
    screentest::ScreenSeams seams;
    std::unique_ptr<StartupMangerViewController> manager; // last to go: the shown child leaves it first
    std::unique_ptr<StartupItemsViewController> list;
    std::unique_ptr<CleanProcessStartupItemsViewController> clean;
};

TEST_F(StartupScreensTest, BothListsWithTheirCountsRowsAndSelection)
{
    startuptest::plantSessionItem("Notes");
    plantAgent(userAgents(), "com.example.sync", true);
    plantAgent(host("/Library/LaunchAgents"), "com.example.updater", true);
    makeScreens();

    EXPECT_EQ(list->lblCountLoginItems->text(), "1 IDS_BGX_44");
    EXPECT_EQ(list->lblCountLaunchAgents->text(), "2 IDS_BGX_43");
    EXPECT_TRUE(list->boxLoader->isHidden());
    ASSERT_EQ(rowCount(), 1);
    EXPECT_EQ(rowName(0).toStdString(), "Notes.app");
    EXPECT_EQ(statusText(0), "IDS_BGX_23");
    EXPECT_EQ(list->lblSelectedItems->text(), "0/1");
    EXPECT_FALSE(list->btnDeleteItems->isEnabled());

    list->btnLaunchAgents->click();
    ASSERT_EQ(rowCount(), 2);
    clickCheckBox(1);
    EXPECT_EQ(list->lblSelectedItems->text(), "1/2");
    EXPECT_TRUE(list->btnDeleteItems->isEnabled());
    EXPECT_FALSE(list->checkBoxSelectAll->isChecked());
    clickCheckBox(0);
    EXPECT_TRUE(list->checkBoxSelectAll->isChecked());
    list->clickedSelectCell(7, true); // a stale row changes nothing
    EXPECT_EQ(list->lblSelectedItems->text(), "2/2");

    list->btnLoginItem->click(); // the hidden list keeps its selection
    EXPECT_EQ(list->lblSelectedItems->text(), "0/1");
    list->btnLaunchAgents->click();
    EXPECT_EQ(list->lblSelectedItems->text(), "2/2");
    EXPECT_TRUE(isTicked(1));
}

TEST_F(StartupScreensTest, ALaunchAgentSwitchedOffIsUnloadedAndRememberedAndOnAgainLoaded)
{
    plantAgent(userAgents(), "com.example.sync", true);
    makeScreens();
    list->btnLaunchAgents->click();

    clickSwitch(0);
    EXPECT_FALSE(isLoaded("com.example.sync"));
    EXPECT_FALSE(list->model().launchAgents()[0].isEnable);
    EXPECT_EQ(statusText(0), "IDS_BGX_24");
    ASSERT_EQ(disabledLaunchAgents().size(), 1u);
    EXPECT_EQ(*disabledLaunchAgents()[0].at("label").asText(), "com.example.sync");

    list->clickedReload(); // a switched-off agent is still listed, off
    waitForLists();
    ASSERT_EQ(rowCount(), 1);
    EXPECT_FALSE(isSwitchOn(0));

    clickSwitch(0);
    EXPECT_TRUE(isLoaded("com.example.sync"));
    EXPECT_TRUE(list->model().launchAgents()[0].isEnable);
    EXPECT_EQ(statusText(0), "IDS_BGX_23");
    EXPECT_TRUE(disabledLaunchAgents().empty());
    EXPECT_TRUE(seams.sheets.empty());
}

// A launch agent switched off and on by clicks on its switch: launchd has its plist
// again key for key, keys the launchd library does not know included.
TEST_F(StartupScreensTest, ALaunchAgentSwitchedBackOnIsLoadedWithEveryKeyOfItsPlist)
{
    const Dictionary job{{"Label", "com.example.sync"},
                         {"ProgramArguments", Array{"/bin/sleep", "30"}},
                         {"RunAtLoad", true},
                         {"AssociatedBundleIdentifiers", Array{"com.example.sync"}},
                         {"com.example.sync.Schedule", Dictionary{{"Hour", 3}}}};
    const fs::path plist = fs::path(userAgents()) / "Sync Agent.plist";
    startuptest::plantPlist(plist, job);
    ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::User, job, nullptr, nullptr));
    makeScreens();
    list->btnLaunchAgents->click();
    for (const bool on : {false, true}) {
        clickSwitch(0);
        EXPECT_EQ(isSwitchOn(0), on);
        EXPECT_EQ(isLoaded("com.example.sync"), on);
    }
    const auto loaded = platform::SMJobCopyDictionary(LaunchdDomain::User, "com.example.sync");
    ASSERT_TRUE(loaded);
    for (const auto& [key, value] : job)
        EXPECT_EQ(loaded->count(key) ? loaded->at(key) : platform::Value(), value) << key;
    EXPECT_EQ(platform::readPropertyListFile(plist.string()), platform::Value(job));
    EXPECT_TRUE(seams.sheets.empty());
}

TEST_F(StartupScreensTest, ASessionLoginItemSwitchedOffAndOnTellsTheAgent)
{
    startuptest::plantSessionItem("Notes");
    makeScreens();

    clickSwitch(0);
    EXPECT_TRUE(platform::SharedFileList::sessionLoginItems()->snapshot().empty());
    EXPECT_EQ(disabledLoginItems().size(), 1u);
    EXPECT_EQ(statusText(0), "IDS_BGX_24");
    EXPECT_FALSE(appGroupDefaults()->object(SettingsKey::startupItemEnabledPathAGSQ));

    clickSwitch(0);
    EXPECT_EQ(LaunchOnStartupList().sessionLoginItemURLs().size(), 1u);
    EXPECT_TRUE(disabledLoginItems().empty());
    EXPECT_EQ(statusText(0), "IDS_BGX_23");
    EXPECT_EQ(*appGroupDefaults()->object(SettingsKey::startupItemEnabledPathAGSQ)->asText(),
              host("/Applications/Notes.app"));
    EXPECT_TRUE(appGroupDefaults()->date(SettingsKey::startupItemEnabledDateAGSQ));
}

// A user's job switched off keeps its whole plist in its record, taken from its own
// file whatever that is named; switched on again, its plist and launchd's job are the
// original key for key (keys the launchd library does not know included), with the
// list reloaded in between or not. (The row's switch of such a job ignores clicks:
// the handler is driven by its notification.)
TEST_F(StartupScreensTest, AUserJobSwitchedOffAndOnIsRestoredWhole)
{
    startuptest::plantBundle("/Applications/Tool.app", "com.example.tool");
    const std::string label = "com.example.tool.login";
    const Dictionary job{{"Label", label},
                         {"Program", host("/Applications/Tool.app/Contents/MacOS/Tool")},
                         {"ProgramArguments", Array{"/bin/sleep", "30"}},
                         {"EnableTransactions", true},
                         {"OnDemand", true},
                         {"RunAtLoad", true},
                         {"KeepAlive", true},
                         {"StartInterval", 3600},
                         {"EnvironmentVariables", Dictionary{{"SYNC_MODE", "quiet"}}},
                         {"AssociatedBundleIdentifiers", Array{"com.example.tool"}},
                         {"com.example.tool.SyncChannel", Dictionary{{"Channel", "beta"}, {"Retries", 3}}}};
    const fs::path plist = fs::path(userAgents()) / (label + ".plist");
    struct Case {
        std::string fileName;
        bool reloadWhileOff;
    };
    for (const Case& each : {Case{label + ".plist", false}, Case{label + ".plist", true}, Case{"Tool Helper.plist", true}}) {
        SCOPED_TRACE(each.fileName + (each.reloadWhileOff ? ", reloaded while off" : ", switched straight back"));
        const fs::path planted = fs::path(userAgents()) / each.fileName;
        startuptest::plantPlist(planted, job);
        ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::User, job, nullptr, nullptr));
        makeScreens();
        ASSERT_EQ(rowCount(), 1);

        postToggle(0, false);
        EXPECT_FALSE(fs::exists(planted));
        EXPECT_FALSE(isLoaded(label));
        ASSERT_EQ(disabledLoginItems().size(), 1u);
        EXPECT_EQ(disabledLoginItems()[0].at("jobDictionary"), platform::Value(job));
        EXPECT_TRUE(seams.sheets.empty());
        if (each.reloadWhileOff) {
            list->clickedReload();
            waitForLists();
            ASSERT_EQ(rowCount(), 1);
        }
        postToggle(0, true);
        EXPECT_EQ(platform::readPropertyListFile(plist.string()), platform::Value(job));
        const auto loaded = platform::SMJobCopyDictionary(LaunchdDomain::User, label);
        ASSERT_TRUE(loaded);
        for (const auto& [key, value] : job)
            EXPECT_EQ(loaded->count(key) ? loaded->at(key) : platform::Value(), value) << key;
        EXPECT_TRUE(disabledLoginItems().empty());
        EXPECT_EQ(statusText(0), "IDS_BGX_23");

        ASSERT_TRUE(platform::SMJobRemove(LaunchdDomain::User, label, nullptr, true, nullptr));
        fs::remove(plist);
    }
}

// A session entry the list cannot take back shows the switch as it really is and says why.
TEST_F(StartupScreensTest, ASessionEntryThatCannotBeWrittenBackStaysOffAndSaysWhy)
{
    startuptest::plantSessionItem("Notes");
    makeScreens();
    clickSwitch(0);
    const fs::path sessionList = platform::SharedFileList::sessionLoginItemsPath();
    fs::remove(sessionList);
    fs::create_directory(sessionList); // the list can no longer be written

    testing::internal::CaptureStdout();
    clickSwitch(0);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(isSwitchOn(0));
    EXPECT_EQ(statusText(0), "IDS_BGX_24");
    EXPECT_FALSE(list->model().loginItems()[0].isEnable);
    EXPECT_EQ(disabledLoginItems().size(), 1u);
    EXPECT_FALSE(appGroupDefaults()->object(SettingsKey::startupItemEnabledPathAGSQ));
    ASSERT_EQ(seams.sheets.size(), 1u);
    EXPECT_EQ(seams.sheets[0].messageText, "IDS_BGX_259");
    EXPECT_NE(printed.find(seams.sheets[0].informativeText), std::string::npos) << printed;
    seams.answerSheet(alertFirstButtonReturn);
    fs::remove(sessionList);
}

// With the settings' folder unwritable (as on a full disk) no item is switched off
// without its record: a user's job, a session entry and launch agents each stay as
// they were, on, with the switch on and a sheet that says so; a reload lists them all.
TEST_F(StartupScreensTest, AnItemWhoseRecordCannotBeStoredStaysOnAndSaysSo)
{
    startuptest::plantBundle("/Applications/Tool.app", "com.example.tool");
    const std::string jobLabel = "com.example.tool.login";
    const fs::path jobPlist = fs::path(userAgents()) / (jobLabel + ".plist");
    const Dictionary job{{"Label", jobLabel},
                         {"Program", host("/Applications/Tool.app/Contents/MacOS/Tool")},
                         {"ProgramArguments", Array{"/bin/sleep", "30"}},
                         {"EnableTransactions", true},
                         {"OnDemand", true}};
    startuptest::plantPlist(jobPlist, job);
    ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::User, job, nullptr, nullptr));
    startuptest::plantSessionItem("Notes");
    plantAgent(userAgents(), "com.example.sync", true);
    makeScreens();
    ASSERT_EQ(rowCount(), 2);
    const managetest::UnwritableStore unwritable(standardDefaults());
    if (!unwritable.isSet())
        GTEST_SKIP() << "this file system or process cannot make a folder immutable";
    managetest::WithoutMainWindow onItsOwn;
    const auto expectStillOn = [&](int row) {
        EXPECT_TRUE(isSwitchOn(row));
        EXPECT_EQ(statusText(row), "IDS_BGX_23");
    };
    const auto switchOffEachRow = [&] {
        for (int row = 0; row < rowCount(); ++row) {
            SCOPED_TRACE(rowName(row).toStdString());
            const bool userJob = list->model().menuClicked() == StartupManager::loginItems
                                 && list->model().loginItems()[static_cast<std::size_t>(row)].program;
            if (userJob)
                postToggle(row, false); // its switch ignores clicks
            else
                clickSwitch(row);
            expectStillOn(row);
            ASSERT_TRUE(seams.sheetPending());
            EXPECT_EQ(seams.sheets.back().messageText, "IDS_BGX_270");
            seams.answerSheet(alertFirstButtonReturn);
        }
    };
    switchOffEachRow();
    list->btnLaunchAgents->click();
    ASSERT_EQ(rowCount(), 2); // the job's plist is a launch agent too
    switchOffEachRow();
    EXPECT_EQ(seams.sheets.size(), 4u);
    EXPECT_TRUE(fs::exists(jobPlist));
    EXPECT_TRUE(isLoaded(jobLabel));
    EXPECT_EQ(LaunchOnStartupList().sessionLoginItemURLs().size(), 1u);
    EXPECT_TRUE(isLoaded("com.example.sync"));
    EXPECT_TRUE(disabledLoginItems().empty());
    EXPECT_TRUE(disabledLaunchAgents().empty());

    list->clickedReload();
    waitForLists();
    ASSERT_EQ(rowCount(), 2);
    expectStillOn(0);
    expectStillOn(1);
    list->btnLoginItem->click();
    ASSERT_EQ(rowCount(), 2);
    expectStillOn(0);
    expectStillOn(1);

    setSheetPresenter({}); // the real sheet, for the grab
    managetest::withEnglish([&] {
        makeScreens();
        clickSwitch(0);
        managetest::grabWithSheet(*manager, "StartupItems-NotSaved");
        for (QMessageBox* box : manager->window()->findChildren<QMessageBox*>())
            box->buttons().at(0)->click();
        EXPECT_TRUE(isSwitchOn(0));
    });
}

// A record stored for an item that then cannot be switched off is taken back, and no
// other record with it.
TEST_F(StartupScreensTest, TheRecordOfAnItemThatCouldNotBeSwitchedOffIsTakenBack)
{
    startuptest::plantSessionItem("Notes");
    makeScreens();
    const Dictionary other{{"appUrlPath", host("/Applications/Notes.app")}, {"label", "another record"}};
    ASSERT_TRUE(addDisabledLoginItem(other));
    const testsupport::ImmutableFolder unwritableList(
        fs::path(platform::SharedFileList::sessionLoginItemsPath()).parent_path());
    if (!unwritableList.isSet())
        GTEST_SKIP() << "this file system or process cannot make a folder immutable";

    testing::internal::CaptureStdout();
    clickSwitch(0);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(isSwitchOn(0));
    EXPECT_TRUE(list->model().loginItems()[0].isEnable);
    EXPECT_EQ(LaunchOnStartupList().sessionLoginItemURLs().size(), 1u);
    EXPECT_EQ(disabledLoginItems(), std::vector<Dictionary>{other});
    ASSERT_EQ(seams.sheets.size(), 1u);
    EXPECT_EQ(seams.sheets[0].messageText, "IDS_BGX_260");
    seams.answerSheet(alertFirstButtonReturn);
}

// A change that did not take effect puts the switch back and says why.
TEST_F(StartupScreensTest, ADeniedAuthorisationSetsTheSwitchBack)
{
    plantAgent(host("/Library/LaunchAgents"), "com.example.updater", true);
    makeScreens();
    list->btnLaunchAgents->click();
    platform::AuthorizationAgent::setPolicy(platform::AuthorizationAnswer::Deny);

    clickSwitch(0);
    EXPECT_TRUE(isSwitchOn(0));
    EXPECT_TRUE(isLoaded("com.example.updater"));
    EXPECT_TRUE(list->model().launchAgents()[0].isEnable);
    EXPECT_EQ(statusText(0), "IDS_BGX_23");
    EXPECT_TRUE(disabledLaunchAgents().empty());
    ASSERT_EQ(seams.sheets.size(), 1u);
    EXPECT_EQ(seams.sheets[0].messageText, "IDS_BGX_260");
    EXPECT_FALSE(seams.sheets[0].informativeText.empty());
    EXPECT_TRUE(seams.modalAlerts.empty());
    seams.answerSheet(alertFirstButtonReturn);
}

// Answers every authorisation dialog with Allow, keeping the step each one named;
// grabs the first as it is shown.
class DialogsAllowed {
public:
    explicit DialogsAllowed(QString grabName) : grabName_(std::move(grabName))
    {
        installAuthorizationPrompt();
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* dialog = dynamic_cast<AuthorizationDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            actions.push_back(dialog->lblAction->text().toStdString());
            if (actions.size() == 1)
                widgettest::saveSettledGrab(*dialog, grabName_);
            widgettest::click(*dialog->btnAllow);
        });
        timer_.start(10);
    }
    ~DialogsAllowed() { platform::AuthorizationAgent::reset(); }

    std::vector<std::string> actions;

private:
    QString grabName_;
    QTimer timer_;
};

// With several system jobs selected, each dialog says which job it is asked for.
TEST_F(StartupScreensTest, TheAuthorisationDialogNamesTheJobItIsFor)
{
    const std::string agents = host("/Library/LaunchAgents");
    const std::string daemons = host("/Library/LaunchDaemons");
    plantAgent(agents, "com.example.updater", true);
    plantAgent(daemons, "com.example.helperd", false);
    QGuiApplication::setApplicationDisplayName("Bastion Guardpoint");
    makeScreens();
    list->btnLaunchAgents->click();
    ASSERT_EQ(rowCount(), 2);
    const auto rowOf = [&](const std::string& label) {
        const auto& rows = list->model().launchAgents();
        return static_cast<int>(std::ranges::find_if(rows, [&](const auto& agent) {
                                    return agent.ldLaunchJob->Label() == label;
                                }) - rows.begin());
    };
    const std::string updater = "\u201ccom.example.updater\u201d (" + agents + "/com.example.updater.plist)";
    const std::string helperd = "\u201ccom.example.helperd\u201d (" + daemons + "/com.example.helperd.plist)";
    {
        DialogsAllowed allowed("AuthorizationDialog-StartupItemSwitchedOff");
        clickSwitch(rowOf("com.example.updater"));
        EXPECT_EQ(allowed.actions, std::vector<std::string>{"Unloading the job " + updater + " requires authorization."});
        EXPECT_FALSE(isLoaded("com.example.updater"));
        clickSwitch(rowOf("com.example.updater"));
        ASSERT_EQ(allowed.actions.size(), 2u);
        EXPECT_EQ(allowed.actions[1], "Loading the job " + updater + " requires authorization.");
    }
    DialogsAllowed allowed("AuthorizationDialog-StartupItemRemoved");
    list->checkBoxSelectAll->click();
    deleteSelected(alertFirstButtonReturn);
    ASSERT_TRUE(managetest::waitFor([&] { return clean->boxCleanResult->isVisibleTo(clean.get()); }));
    std::ranges::sort(allowed.actions);
    EXPECT_EQ(allowed.actions, (std::vector<std::string>{"Removing the job " + helperd + " requires authorization.",
                                                          "Removing the job " + updater + " requires authorization."}));
    EXPECT_FALSE(fs::exists(agents + "/com.example.updater.plist"));
    EXPECT_FALSE(fs::exists(daemons + "/com.example.helperd.plist"));
}

TEST_F(StartupScreensTest, DeletingTwoSelectedItemsShowsTheCleanAndReloadsTheLists)
{
    for (const char* label : {"com.example.a", "com.example.b", "com.example.c"})
        plantAgent(userAgents(), label, true);
    startuptest::plantSessionItem("Notes");
    makeScreens();
    list->btnLaunchAgents->click();
    clickCheckBox(0);
    clickCheckBox(2);

    deleteSelected(alertFirstButtonReturn);
    EXPECT_TRUE(clean->isVisibleTo(manager.get()));
    EXPECT_FALSE(list->isVisibleTo(manager.get()));
    ASSERT_TRUE(managetest::waitFor([&] { return clean->boxCleanResult->isVisibleTo(clean.get()); }));
    EXPECT_FALSE(fs::exists(userAgents() + "/com.example.a.plist"));
    EXPECT_FALSE(fs::exists(userAgents() + "/com.example.c.plist"));
    EXPECT_TRUE(fs::exists(userAgents() + "/com.example.b.plist"));
    EXPECT_EQ(clean->lblLoginNLaunchAgentItemsDeleted->text(), "2 IDS_BGX_200");
    EXPECT_EQ(clean->lblYouNowHaveLoginItemsItems->text(), "IDS_BGX_201");
    EXPECT_EQ(clean->lblCleanupStatus->text(), "IDS_BGX_74");
    EXPECT_TRUE(clean->btnReviewApps->isVisibleTo(clean.get()));

    clean->clickedReviewApps();
    EXPECT_TRUE(list->isVisibleTo(manager.get()));
    EXPECT_FALSE(isCleanInProgress);
    waitForLists();
    EXPECT_EQ(list->lblCountLaunchAgents->text(), "1 IDS_BGX_44");
    EXPECT_EQ(list->lblSelectedItems->text(), "0/1");
}

TEST_F(StartupScreensTest, AnItemWhosePlistIsAlreadyGoneCountsAsRemoved)
{
    plantAgent(userAgents(), "com.example.a", false);
    makeScreens();
    list->btnLaunchAgents->click();
    clickCheckBox(0);
    fs::remove(userAgents() + "/com.example.a.plist"); // deleted meanwhile

    deleteSelected(alertFirstButtonReturn);
    ASSERT_TRUE(managetest::waitFor([&] { return clean->boxCleanResult->isVisibleTo(clean.get()); }));
    EXPECT_EQ(clean->lblLoginNLaunchAgentItemsDeleted->text(), "1 IDS_BGX_200");
    EXPECT_EQ(clean->lblCleanupStatus->text(), "IDS_BGX_74");
    EXPECT_EQ(list->model().launchAgents().size(), 0u);
}

// A loaded job whose plist was deleted after the list was read: the deletion takes it
// off launchd by its label; where that is refused it stays listed, after Review too,
// with its failure in its tool tip, until a deletion succeeds.
TEST_F(StartupScreensTest, ALoadedJobWhosePlistIsGoneIsRemovedOrListedWithItsFailure)
{
    plantAgent(userAgents(), "com.example.a", true);
    plantAgent(host("/Library/LaunchAgents"), "com.example.b", true);
    makeScreens();
    list->btnLaunchAgents->click();
    ASSERT_EQ(rowCount(), 2);
    fs::remove(userAgents() + "/com.example.a.plist");
    fs::remove(host("/Library/LaunchAgents") + "/com.example.b.plist");
    const auto deleteAll = [&] {
        list->checkBoxSelectAll->click();
        deleteSelected(alertFirstButtonReturn);
        ASSERT_TRUE(managetest::waitFor([&] { return clean->boxCleanResult->isVisibleTo(clean.get()); }));
    };

    platform::AuthorizationAgent::setPolicy(platform::AuthorizationAnswer::Cancel); // the domain of all users
    deleteAll();
    EXPECT_FALSE(isLoaded("com.example.a"));
    EXPECT_TRUE(isLoaded("com.example.b"));
    EXPECT_EQ(clean->lblLoginNLaunchAgentItemsDeleted->text(), "1 IDS_BGX_200");
    EXPECT_NE(clean->lblCleanupStatus->text(), "IDS_BGX_74");
    clean->clickedReviewApps();
    waitForLists();
    ASSERT_EQ(rowCount(), 1);
    EXPECT_EQ(list->model().launchAgents()[0].ldLaunchJob->Label(), "com.example.b");
    const QStringList tip = widgettest::shownToolTip(rowData(0, Qt::ToolTipRole).toString()).split('\n');
    ASSERT_EQ(tip.size(), 3);
    EXPECT_EQ(tip[2].toStdString(), "Authorizaton canceled by user.");

    platform::AuthorizationAgent::setPolicy(platform::AuthorizationAnswer::Grant);
    deleteAll();
    EXPECT_FALSE(isLoaded("com.example.b"));
    EXPECT_EQ(clean->lblCleanupStatus->text(), "IDS_BGX_74");
    clean->clickedReviewApps();
    waitForLists();
    EXPECT_EQ(rowCount(), 0);
}

// Deleting a user's job whose program lies inside an application keeps the record of
// that application's switched-off session entry, which can then be switched on again.
TEST_F(StartupScreensTest, DeletingAUsersJobKeepsTheRecordOfItsApplicationsSessionEntry)
{
    startuptest::plantSessionItem("Gamma");
    makeScreens();
    clickSwitch(0);
    ASSERT_EQ(disabledLoginItems().size(), 1u);
    const std::string label = "com.example.gamma.login";
    const Dictionary job{{"Label", label},
                         {"Program", host("/Applications/Gamma.app/Contents/MacOS/Gamma")},
                         {"ProgramArguments", Array{"/bin/sleep", "30"}},
                         {"EnableTransactions", true},
                         {"OnDemand", true}};
    startuptest::plantPlist(fs::path(userAgents()) / (label + ".plist"), job);
    ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::User, job, nullptr, nullptr));
    list->clickedReload();
    waitForLists();
    const auto& items = list->model().loginItems();
    const auto jobRow = std::ranges::find_if(items, [](const LoginItem& item) { return item.program.has_value(); });
    ASSERT_EQ(items.size(), 2u);
    ASSERT_NE(jobRow, items.end());
    clickCheckBox(static_cast<int>(jobRow - items.begin()));

    deleteSelected(alertFirstButtonReturn);
    ASSERT_TRUE(managetest::waitFor([&] { return clean->boxCleanResult->isVisibleTo(clean.get()); }));
    EXPECT_FALSE(isLoaded(label));
    ASSERT_EQ(disabledLoginItems().size(), 1u);
    EXPECT_EQ(disabledLoginItems()[0].count("program"), 0u);
    clean->clickedReviewApps();
    waitForLists();
    ASSERT_EQ(rowCount(), 1);
    clickSwitch(0);
    EXPECT_EQ(LaunchOnStartupList().sessionLoginItemURLs().size(), 1u);
    EXPECT_TRUE(disabledLoginItems().empty());
}

// Loaded agents whose plists are not named after their labels: the user's own is
// unloaded by its label and its plist deleted; one that cannot be deleted (the
// authorisation refused) says why on the result.
TEST_F(StartupScreensTest, ALoadedAgentNamedOtherThanItsLabelIsDeletedOrSaysWhyOnTheResult)
{
    const auto plantNamed = [](const std::string& folder, const std::string& name, const std::string& label) {
        const Dictionary job{{"Label", label}, {"ProgramArguments", Array{"/bin/sleep", "30"}}};
        startuptest::plantPlist(fs::path(folder) / name, job);
        ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::User, job, nullptr, nullptr));
    };
    plantNamed(userAgents(), "tool-helper.plist", "com.example.toolhelper");
    plantNamed(host("/Library/LaunchAgents"), "global-helper.plist", "com.example.globalhelper");
    platform::AuthorizationAgent::setPolicy(platform::AuthorizationAnswer::Deny); // the domain of all users
    managetest::withEnglish([&] { // the result as the user reads it, for the grab
        makeScreens();
        list->btnLaunchAgents->click();
        ASSERT_EQ(rowCount(), 2);
        list->checkBoxSelectAll->click();
        deleteSelected(alertFirstButtonReturn);
        ASSERT_TRUE(managetest::waitFor([&] { return clean->boxCleanResult->isVisibleTo(clean.get()); }));
        EXPECT_EQ(clean->lblLoginNLaunchAgentItemsDeleted->text(), "1 launch agent item deleted");
        EXPECT_EQ(clean->lblCleanupStatus->text(), "Cleanup not finished");
        grab("StartupItems-DeleteFailedWithReason");
    });
    EXPECT_FALSE(fs::exists(userAgents() + "/tool-helper.plist"));
    EXPECT_FALSE(isLoaded("com.example.toolhelper"));
    EXPECT_TRUE(fs::exists(host("/Library/LaunchAgents") + "/global-helper.plist"));
    EXPECT_TRUE(isLoaded("com.example.globalhelper"));
    EXPECT_TRUE(clean->lblRemovalFailures->isVisibleTo(clean.get()));
    EXPECT_EQ(clean->lblRemovalFailures->text().toStdString(), "sleep: You are not authorized to to perform this action");
}

// The row of a switched-off agent whose plist was removed since is rebuilt from its
// record; deleting it drops the record, so Review no longer lists it.
TEST_F(StartupScreensTest, ARowRebuiltFromARecordIsDeletedOnceForGood)
{
    plantAgent(userAgents(), "com.example.gone", true);
    makeScreens();
    list->btnLaunchAgents->click();
    clickSwitch(0);
    ASSERT_EQ(disabledLaunchAgents().size(), 1u);
    fs::remove(userAgents() + "/com.example.gone.plist");
    list->clickedReload();
    waitForLists();
    ASSERT_EQ(rowCount(), 1);
    EXPECT_EQ(widgettest::shownToolTip(rowData(0, Qt::ToolTipRole).toString()).toStdString(),
              "com.example.gone\n" + userAgents() + "/com.example.gone.plist");
    clickCheckBox(0);

    deleteSelected(alertFirstButtonReturn);
    ASSERT_TRUE(managetest::waitFor([&] { return clean->boxCleanResult->isVisibleTo(clean.get()); }));
    EXPECT_EQ(clean->lblLoginNLaunchAgentItemsDeleted->text(), "1 IDS_BGX_200");
    EXPECT_TRUE(disabledLaunchAgents().empty());
    clean->clickedReviewApps();
    waitForLists();
    EXPECT_EQ(rowCount(), 0);
}

// With the settings' folder unwritable a switched-off item's record cannot be dropped:
// the deletion says so on the not-saved sheet and counts the item as kept.
TEST_F(StartupScreensTest, ADeletionWhoseRecordCannotBeDroppedIsToldAsNotDone)
{
    startuptest::plantSessionItem("Gamma");
    makeScreens();
    clickSwitch(0);
    ASSERT_EQ(disabledLoginItems().size(), 1u);
    clickCheckBox(0);
    const managetest::UnwritableStore unwritable(standardDefaults());
    if (!unwritable.isSet())
        GTEST_SKIP() << "this file system or process cannot make a folder immutable";
    managetest::WithoutMainWindow onItsOwn;

    deleteSelected(alertFirstButtonReturn);
    ASSERT_TRUE(managetest::waitFor([&] { return clean->boxCleanResult->isVisibleTo(clean.get()); }));
    EXPECT_EQ(clean->lblLoginNLaunchAgentItemsDeleted->text(), "0 IDS_BGX_199");
    EXPECT_NE(clean->lblCleanupStatus->text(), "IDS_BGX_74");
    ASSERT_TRUE(seams.sheetPending());
    EXPECT_EQ(seams.sheets.back().messageText, "IDS_BGX_270");
    seams.answerSheet(alertFirstButtonReturn);
    EXPECT_EQ(list->model().loginItems().size(), 1u);
    EXPECT_EQ(disabledLoginItems().size(), 1u);
}

// Two jobs of one program read alike; the tool tip of each row names its label and plist.
TEST_F(StartupScreensTest, RowsThatReadAlikeAreToldApartByTheirToolTips)
{
    plantAgent(userAgents(), "com.example.sync", true);
    plantAgent(userAgents(), "<i>com.example.sync", true); // a label is outside text: shown as typed
    managetest::withEnglish([&] {
        makeScreens();
        list->btnLaunchAgents->click();
        ASSERT_EQ(rowCount(), 2);
        EXPECT_EQ(rowName(0), rowName(1));
        for (int row = 0; row < 2; ++row) {
            const LaunchAgent& agent = list->model().launchAgents()[static_cast<std::size_t>(row)];
            const QString label = QString::fromStdString(*agent.ldLaunchJob->Label());
            EXPECT_EQ(widgettest::shownToolTip(rowData(row, Qt::ToolTipRole).toString()),
                      label + "\n" + QString::fromStdString(*agent.plistPath));
            grabWithToolTip(row, "StartupItems-ToolTip-" + QString(label).remove(QRegularExpression("[<>]")));
        }
    });
}

TEST_F(StartupScreensTest, DeclinedDeletionRemovesNothing)
{
    plantAgent(userAgents(), "com.example.a", true);
    makeScreens();
    list->btnLaunchAgents->click();
    clickCheckBox(0);

    deleteSelected(alertSecondButtonReturn);
    EXPECT_TRUE(list->isVisibleTo(manager.get()));
    EXPECT_TRUE(fs::exists(userAgents() + "/com.example.a.plist"));
    EXPECT_EQ(list->lblSelectedItems->text(), "1/1");
    EXPECT_FALSE(isCleanInProgress);
}

TEST_F(StartupScreensTest, TheContainerShowsOneChildAndIgnoresAPlainNumber)
{
    makeScreens();
    auto& center = platform::NotificationCenter::defaultCenter();
    for (int time = 0; time < 2; ++time) {
        isScanResultsShown = true;
        center.post("StartupItemsViewUpdateBGX", {{menuKey, StartupItemsState::cleanStartupItems}});
        EXPECT_FALSE(isScanResultsShown);
    }
    center.post("StartupItemsViewUpdateBGX", {{menuKey, 0}});
    EXPECT_EQ(manager->containerView->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), 1);
    EXPECT_TRUE(clean->isVisibleTo(manager.get()));
}

// A FIFO, a socket, a link to a device and a huge plist beside two jobs: the list
// loads, shows the two, and the huge plist's job counts as malformed.
TEST_F(StartupScreensTest, HostileEntriesInALaunchdFolderAreSkippedAndTheWellFormedJobsListed)
{
    const testsupport::HostileEntries hostile(userAgents(), "hostile");
    plantAgent(userAgents(), "com.example.sync", true);
    plantAgent(host("/Library/LaunchAgents"), "com.example.updater", false);
    testing::internal::CaptureStdout();
    managetest::withEnglish([&] {
        makeScreens();
        list->btnLaunchAgents->click();
        grab("StartupItems-LaunchAgents-HostileFilesSkipped");
    });
    const std::string output = testing::internal::GetCapturedStdout();
    ASSERT_EQ(rowCount(), 2);
    std::vector<std::string> plists;
    for (const auto& agent : list->model().launchAgents())
        plists.push_back(agent.plistName.value_or(""));
    EXPECT_EQ(plists, (std::vector<std::string>{"com.example.sync.plist", "com.example.updater.plist"}));
    for (const auto& [path, refusal] : hostile.entries())
        EXPECT_NE(output.find("\"" + path.string() + "\" " + refusal), std::string::npos) << path;
}

// The finished look with the English texts: both tabs, a row switched off, the clean.
TEST_F(StartupScreensTest, AClickedRowShowsTheSelectionFillAndTheListTheDarkScroller)
{
    for (int item = 0; item < 12; ++item)
        startuptest::plantSessionItem("Helper " + std::to_string(item));
    managetest::withEnglish([&] {
        makeScreens();
        widgettest::expectSelectedRowAndDarkScroller(*list->tableView, 1, "StartupItems-SelectedRow");
    });
}

TEST_F(StartupScreensTest, Grabs)
{
    startuptest::plantSessionItem("Notes");
    startuptest::plantSessionItem("Photo Organizer");
    plantAgent(userAgents(), "com.example.sync", true);
    plantAgent(host("/Library/LaunchAgents"), "com.example.updater", false);
    managetest::withEnglish([&] {
        makeScreens();
        clickCheckBox(1);
        grab("StartupItems-LoginItems");
        list->btnLaunchAgents->click();
        clickSwitch(0);
        grab("StartupItems-LaunchAgents-RowOff");
        clickCheckBox(0);
        deleteSelected(alertFirstButtonReturn);
        ASSERT_TRUE(managetest::waitFor([&] { return clean->boxCleanResult->isVisibleTo(clean.get()); }));
        grab("StartupItems-CleanResult");
        platform::NotificationCenter::defaultCenter().post("CleanViewUpdate_StartupItemsBGX",
                                                           {{menuKey, CleanMenu::process}});
        platform::NotificationCenter::defaultCenter().post(
            "NotifyCleanProcess_StartupItemsBGX",
            {{"totalItems", std::int64_t(3)}, {"pObj", std::int64_t(1)},
             {"path", host("/Applications/Photo Organizer.app")}, {"percentage", 33.0}});
        // Shown once the progress screen's repaint interval after the last completion has run out.
        ASSERT_TRUE(managetest::waitFor([&] { return clean->lblObjectCleaned->text().endsWith("1/3"); }));
        grab("StartupItems-CleanProgress");
        clean->clickedHome();
        waitForLists();
    });
}

} // namespace
