#include "AppShellTest.h"
#include "KeyEchoTextTable.h"
#include "ManageScreenTest.h"

#include "App/AgentIdentity.h"
#include "App/AllViewControllers.h"
#include "App/AppDelegate.h"
#include "Controls/ToggleSwitch.h"
#include "Foundation/Settings.h"
#include "Foundation/TextTable.h"
#include "Foundation/UserPaths.h"
#include "Screens/Manage/GeneralSettingsViewController.h"
#include "Screens/Manage/ProtectionViewController.h"
#include "Screens/Manage/SettingCheckbox.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

namespace fs = std::filesystem;
namespace K = SettingsKey;

namespace {

void postToggle(platform::UserInfo userInfo)
{
    platform::NotificationCenter::defaultCenter().post(toggleProtectionNotificationName, std::move(userInfo));
}

class ProtectionScreen : public managetest::ManageScreenTest {
protected:
    ProtectionViewController screen;
};

// Only a stored Boolean false stops the agent's protection: a value of another kind,
// or none, shows the switch on.
TEST_F(ProtectionScreen, AppearanceShowsTheSwitchesAsTheAgentReadsThem)
{
    EXPECT_EQ(screen.lblTitleRealTimeProtection->text(), "IDS_BGX_27");
    EXPECT_EQ(screen.btnActiveProtection->statetag, ToggleSwitch::protectionTag);
    appGroupDefaults()->setBool(K::isActiveProtectionEnabled, false);
    appGroupDefaults()->setBool(K::isStartupProtectionEnabled, true);
    screen.viewWillAppear();
    EXPECT_FALSE(screen.btnActiveProtection->isOn());
    EXPECT_EQ(screen.lblEnableDisableActiveProtection->text(), "IDS_BGX_24");
    EXPECT_TRUE(screen.btnStartupProtection->isOn());
    EXPECT_EQ(screen.lblEnableDisableStartupProtection->text(), "IDS_BGX_23");

    for (const platform::Value& mistyped : {platform::Value("off"), platform::Value(0), platform::Value()}) {
        appGroupDefaults()->setBool(K::isActiveProtectionEnabled, false);
        appGroupDefaults()->setObject(K::isActiveProtectionEnabled, mistyped); // changed while hidden
        screen.viewWillAppear();
        EXPECT_TRUE(screen.btnActiveProtection->isOn());
        EXPECT_EQ(screen.lblEnableDisableActiveProtection->text(), "IDS_BGX_23");
    }
    EXPECT_TRUE(screen.btnStartupProtection->isOn());
}

TEST_F(ProtectionScreen, ASwitchClickWritesOnlyItsOwnKey)
{
    appGroupDefaults()->setBool(K::isActiveProtectionEnabled, false);
    appGroupDefaults()->setBool(K::isStartupProtectionEnabled, false);
    screen.viewWillAppear();
    widgettest::click(*screen.btnStartupProtection);
    screen.btnStartupProtection->finishAnimations();
    EXPECT_EQ(appGroupDefaults()->boolean(K::isStartupProtectionEnabled), true);
    EXPECT_EQ(appGroupDefaults()->boolean(K::isActiveProtectionEnabled), false);
    EXPECT_EQ(screen.lblEnableDisableStartupProtection->text(), "IDS_BGX_23");

    // Foreign ids and posts without a Boolean "isOn" change nothing.
    postToggle({{"isOn", false}, {"toggleId", std::string("CrashProtection")}});
    postToggle({{"isOn", 0}, {"toggleId", std::string("StartupProtection")}});
    postToggle({{"toggleId", std::string("ActiveProtection")}});
    EXPECT_EQ(appGroupDefaults()->boolean(K::isStartupProtectionEnabled), true);
    EXPECT_EQ(appGroupDefaults()->boolean(K::isActiveProtectionEnabled), false);
    EXPECT_EQ(screen.lblEnableDisableStartupProtection->text(), "IDS_BGX_23");
}

// A keyboard user: Tab reaches each switch, Space switches it as a click does, and a
// screen reader hears every control by name.
TEST_F(ProtectionScreen, TabReachesEachSwitchAndSpaceStoresItsKey)
{
    appGroupDefaults()->setBool(K::isActiveProtectionEnabled, false);
    appGroupDefaults()->setBool(K::isStartupProtectionEnabled, false);
    managetest::showInWindow(screen);
    screen.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&screen));
    for (QWidget* control : screen.findChildren<QWidget*>()) {
        if (control->isVisibleTo(&screen) && (control->focusPolicy() & Qt::TabFocus)) {
            EXPECT_FALSE(QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).isEmpty())
                << control->objectName().toStdString();
        }
    }

    screen.btnActiveProtection->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    screen.btnActiveProtection->finishAnimations();
    EXPECT_EQ(appGroupDefaults()->boolean(K::isActiveProtectionEnabled), true);
    EXPECT_EQ(screen.lblEnableDisableActiveProtection->text(), "IDS_BGX_23");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), screen.btnStartupProtection);
    QAccessibleInterface* startup = QAccessible::queryAccessibleInterface(screen.btnStartupProtection);
    EXPECT_EQ(startup->text(QAccessible::Name), "IDS_BGX_30");
    EXPECT_EQ(startup->text(QAccessible::Description), "IDS_BGX_31");
    EXPECT_FALSE(startup->state().checked);
    startup->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    screen.btnStartupProtection->finishAnimations();
    EXPECT_EQ(appGroupDefaults()->boolean(K::isStartupProtectionEnabled), true);
    EXPECT_TRUE(startup->state().checked);
}

// With the suite's folder unwritable (as on a full disk) a click stores nothing: the
// switch and its caption go back to the stored state, and a sheet says so.
using ProtectionNotStored = managetest::ManageScreenTest; // one screen, with the English texts

TEST_F(ProtectionNotStored, TheSwitchShowsTheStoredStateAndASheet)
{
    appGroupDefaults()->setBool(K::isActiveProtectionEnabled, false);
    appGroupDefaults()->setBool(K::isStartupProtectionEnabled, true);
    const managetest::UnwritableStore unwritable(*appGroupDefaults());
    if (!unwritable.isSet())
        GTEST_SKIP() << "this file system or process cannot make a folder immutable";
    managetest::WithoutMainWindow onItsOwn;
    managetest::withEnglish([&] {
        ProtectionViewController shown;
        managetest::showInWindow(shown);
        const auto clickActiveProtection = [&] {
            widgettest::click(*shown.btnActiveProtection);
            shown.btnActiveProtection->finishAnimations();
        };
        clickActiveProtection();
        EXPECT_FALSE(shown.btnActiveProtection->isOn());
        EXPECT_EQ(shown.lblEnableDisableActiveProtection->text().toStdString(), localizedText("IDS_BGX_24"));
        EXPECT_EQ(appGroupDefaults()->boolean(K::isActiveProtectionEnabled), false);
        // One sheet on this screen's window (the factory's kept screen, made by an
        // earlier test, hears the click too and shows its own).
        const auto ours = std::find(seams.sheetWindows.begin(), seams.sheetWindows.end(), shown.window());
        ASSERT_NE(ours, seams.sheetWindows.end());
        EXPECT_EQ(std::count(ours, seams.sheetWindows.end(), shown.window()), 1);
        EXPECT_EQ(seams.sheets[static_cast<std::size_t>(ours - seams.sheetWindows.begin())].messageText,
                  localizedText("IDS_BGX_270"));
        seams.answerSheet(alertFirstButtonReturn);

        setSheetPresenter({}); // the real sheet, for the grab
        clickActiveProtection();
        shown.btnStartupProtection->finishAnimations();
        managetest::grabWithSheet(shown, "Protection-NotSaved");
        for (QMessageBox* box : shown.window()->findChildren<QMessageBox*>())
            box->buttons().at(0)->click();
        EXPECT_FALSE(shown.btnActiveProtection->isOn());
    });
}

TEST_F(ProtectionScreen, GrabWithAMistypedSetting)
{
    appGroupDefaults()->setObject(K::isActiveProtectionEnabled, platform::Value("no"));
    appGroupDefaults()->setBool(K::isStartupProtectionEnabled, false);
    managetest::grabScreen<ProtectionViewController>("Protection-MistypedSetting", [](ProtectionViewController& shown) {
        shown.btnActiveProtection->finishAnimations();
        shown.btnStartupProtection->finishAnimations();
    });
    managetest::grabScreen<ProtectionViewController>("Protection-startup-switch-focused", [](ProtectionViewController& shown) {
        shown.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&shown));
        shown.btnStartupProtection->setFocus(Qt::TabFocusReason);
    });
}

TEST_F(ProtectionScreen, Grab)
{
    appGroupDefaults()->setBool(K::isActiveProtectionEnabled, true);
    appGroupDefaults()->setBool(K::isStartupProtectionEnabled, false);
    managetest::grabScreen<ProtectionViewController>("Protection", [](ProtectionViewController& shown) {
        shown.btnActiveProtection->finishAnimations();
        shown.btnStartupProtection->finishAnimations();
    });
}

// The application launched in the root: the agent runs from its launch agent with the
// shipped signature database, whose records name "SnapfyreInstaller.dmg" as a download.
class ProtectionWithAgent : public AppShellTest {
protected:
    // The downloads the agent alerted on, from its own defaults.
    static std::vector<std::string> alertedDownloads()
    {
        platform::UserDefaults agentDefaults(
            (testsupport::homeFolder() / "Library/Preferences" / (std::string(agentBundleIdentifier) + ".plist")).string());
        std::vector<std::string> paths;
        for (const auto& each : agentDefaults.array(K::newDownloadPathsWithNags).value_or(platform::Array{}))
            if (const std::string* path = each.asText())
                paths.push_back(*path);
        return paths;
    }

    static bool isAlerted(const fs::path& path)
    {
        const auto alerted = alertedDownloads();
        return std::find(alerted.begin(), alerted.end(), path.string()) != alerted.end();
    }

    // A download arrives as a rename into the folder (as browsers finish one).
    static void arrive(const fs::path& download)
    {
        const fs::path partial = testsupport::platformRootFolder() / "partial.download";
        testsupport::plantFile(partial, "installer");
        fs::rename(partial, download);
    }

    // Drops the download again until the agent has alerted on it, or gives up.
    static bool agentAlertsOn(const fs::path& download)
    {
        for (int attempt = 0; attempt < 20; ++attempt) {
            arrive(download);
            if (platform::dispatch::runMainLoopUntil([&] { return isAlerted(download); }, std::chrono::seconds(1)))
                return true;
            fs::remove(download);
        }
        return false;
    }

    void click(ToggleSwitch& toggle)
    {
        widgettest::click(toggle);
        toggle.finishAnimations();
    }
};

TEST_F(ProtectionWithAgent, TheRunningAgentFollowsTheActiveProtectionSwitch)
{
    screentest::KeyEchoTextTable texts;
    AppDelegate::shared().applicationWillFinishLaunching();
    ASSERT_TRUE(waitForAgent([](const auto& agents) { return !agents.empty(); }));
    ProtectionViewController& screen = AllViewControllers::protectionViewController();
    screen.viewWillAppear();
    ASSERT_FALSE(screen.btnActiveProtection->isOn()) << "a fresh installation starts with the switch off";

    click(*screen.btnActiveProtection);
    ASSERT_EQ(appGroupDefaults()->boolean(K::isActiveProtectionEnabled), true);
    EXPECT_TRUE(agentAlertsOn(testsupport::homeFolder() / "Downloads/SnapfyreInstaller.dmg"));

    click(*screen.btnActiveProtection);
    ASSERT_EQ(appGroupDefaults()->boolean(K::isActiveProtectionEnabled), false);
    const fs::path whileOff = testsupport::homeFolder() / "Desktop/SnapfyreInstaller.dmg";
    arrive(whileOff);
    platform::dispatch::runMainLoopUntil([] { return false; }, std::chrono::seconds(3));
    EXPECT_FALSE(isAlerted(whileOff));

    click(*screen.btnActiveProtection); // on again: the agent still listens, and judges again
    EXPECT_TRUE(agentAlertsOn(testsupport::homeFolder() / "Documents/SnapfyreInstaller.dmg"));
    EXPECT_FALSE(isAlerted(whileOff));
}

// A suite of megabytes (a long ignore list) with active protection off: the start-up's
// writes and a click on General keep every key, and the agent stays quiet on a download.
TEST_F(ProtectionWithAgent, ALargeSuiteWithProtectionOffKeepsEveryKeyAndTheAgentQuiet)
{
    platform::Array ignored;
    for (int i = 0; i < 70'000; ++i)
        ignored.emplace_back(testsupport::homeFolder().string() + "/Library/Caches/Vendor/cache-entry-" +
                             std::to_string(i) + ".dat");
    const std::string suite = appGroupDefaults()->plistPath();
    fs::create_directories(fs::path(suite).parent_path()); // the root was emptied since the suite was opened
    ASSERT_TRUE(platform::writePropertyListFile(
        suite, platform::Value(platform::Dictionary{{K::ignoreAllPaths, ignored}, {K::isActiveProtectionEnabled, false}}),
        platform::PropertyListFormat::Binary));
    ASSERT_GT(fs::file_size(suite), 5'000'000u);

    screentest::KeyEchoTextTable texts;
    AppDelegate::shared().applicationWillFinishLaunching();
    ASSERT_TRUE(waitForAgent([](const auto& agents) { return !agents.empty(); }));
    GeneralSettingsViewController general;
    general.viewWillAppear();
    widgettest::click(*general.btnCrasheshProtection);

    EXPECT_EQ(appGroupDefaults()->array(K::ignoreAllPaths), ignored);
    EXPECT_EQ(appGroupDefaults()->boolean(K::isActiveProtectionEnabled), false);
    EXPECT_EQ(appGroupDefaults()->boolean(K::isCrashesProtectionEnabled), false);
    EXPECT_EQ(appGroupDefaults()->boolean(K::moveDeletedToTrash), true); // the start-up's default
    EXPECT_FALSE(fs::exists(suite + ".corrupt"));

    const fs::path download = testsupport::homeFolder() / "Downloads/SnapfyreInstaller.dmg";
    arrive(download);
    platform::dispatch::runMainLoopUntil([] { return false; }, std::chrono::seconds(3));
    EXPECT_FALSE(isAlerted(download));
}

} // namespace
