#include "AppShellTest.h"
#include "KeyEchoTextTable.h"
#include "ScreenSeams.h"
#include "WidgetTestSupport.h"

#include "App/AllViewControllers.h"
#include "App/AppDelegate.h"
#include "App/MainMenu.h"
#include "App/InitialWindowController.h"
#include "App/ViewController.h"
#include "Controls/FlatButton.h"
#include "Foundation/IndexVocabularies.h"
#include "Foundation/Settings.h"
#include "Foundation/PresentationSlots.h"
#include "Foundation/TextTable.h"
#include "Platform/Reachability/NetworkReachability.h"
#include "RealUser.h"
#include "Screens/Common/UpdaterWindow.h"
#include "Screens/Manage/SettingsViewController.h"
#include "Screens/Manage/UpdateSettingsViewController.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QTest>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

using MainWindowScreens = AppShellTest;

// The sidebar shows the screens in the main window, and the Overview's way to the
// Update tab (the Settings entry, then the tab) reaches the factory's update screen.
TEST_F(MainWindowScreens, SettingsOpensOnTheUpdateTabAsTheOverviewAsksAndEachScreenIsGrabbedInTheWindow)
{
    ViewController& content = AllViewControllers::initialWindowController().contentViewController();
    content.show();
    auto& center = platform::NotificationCenter::defaultCenter();

    center.post("MenuSelectionBGX", {{menuKey, Menu::protection}});
    widgettest::saveSettledGrab(content, "MainWindow-protection");

    center.post("MenuSelectionBGX", {{menuKey, Menu::settings}});
    center.post("SettingViewUpdateBGX", {{menuKey, SettingsMenu::update}});
    SettingsViewController& settings = AllViewControllers::settingsViewController();
    EXPECT_EQ(AllViewControllers::updateSettingsViewController().parentWidget(), settings.containerView.data());
    widgettest::saveSettledGrab(content, "MainWindow-settings-update");
}

} // namespace

namespace {

// The application's own update check, from the Update tab and the menu, against the
// loopback feed: the updater's window shows each step.
class ApplicationUpdateCheck : public AppShellTest {
protected:
    void SetUp() override
    {
        AppShellTest::SetUp();
        platform::forceReachabilityFlags(platform::reachabilityReachable);
        languageTable() = readBundlePlist("English"); // the grabs show the product's own texts
        ASSERT_TRUE(languageTable());
        installUpdaterWindows();
    }
    void TearDown() override
    {
        platform::SUUpdater::setUserDriverFactory({});
        languageTable().reset();
        AppShellTest::TearDown();
    }

    static platform::SUUpdater& updater() { return *platform::SUUpdater::initForBundle(platform::Bundle::main()); }

    static UpdaterWindow& window()
    {
        auto* shown = dynamic_cast<UpdaterWindow*>(updater().userDriver());
        EXPECT_TRUE(shown);
        return *shown;
    }

    static bool shows(const char* headlineKey) { return window().lblHeadline->text() == screenText(headlineKey); }

    static bool waitUntilShown(const char* headlineKey)
    {
        return platform::dispatch::runMainLoopUntil([&] { return shows(headlineKey); }, std::chrono::seconds(20));
    }

    std::string feedOf(const std::string& version)
    {
        return "<rss xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\"><channel><item>"
               "<enclosure url=\"" + server.url("/release.zip") + "\" sparkle:version=\"" + version +
               "\"/></item></channel></rss>";
    }

    static std::string installedVersion()
    {
        return *platform::Bundle(platform::Bundle::main().bundlePath()).objectForInfoDictionaryKey("CFBundleVersion")->asText();
    }

    screentest::ScreenSeams seams; // no sheet is expected: one would be recorded here
};

// Update tab, Check for Updates: checking (Cancel), up to date, the failure with the
// updater's own text, a new version (Install / Later), a refused release, downloading
// and ready to install on quit, each grabbed.
TEST_F(ApplicationUpdateCheck, TheButtonShowsTheUpdatersWindowInEachState)
{
    const std::string versionBefore = installedVersion();
    UpdateSettingsViewController screen;
    appcast = feedOf("0.1");
    screen.clickedCheckForUpdates();
    ASSERT_TRUE(shows("IDS_BGX_301"));
    EXPECT_TRUE(window().isVisible());
    EXPECT_TRUE(window().progressBar->isVisibleTo(&window()));
    EXPECT_EQ(window().btnSecondary->text(), screenText("IDS_BGX_307"));
    EXPECT_FALSE(window().btnPrimary->isVisibleTo(&window()));
    widgettest::saveGrab(window(), "UpdaterWindow-checking");
    ASSERT_TRUE(waitUntilShown("IDS_BGX_302"));
    EXPECT_EQ(window().lblDetail->text(), screenText("IDS_BGX_240"));
    widgettest::saveGrab(window(), "UpdaterWindow-up-to-date");

    appcast = "not a feed";
    screen.clickedCheckForUpdates();
    ASSERT_TRUE(waitUntilShown("IDS_BGX_310"));
    EXPECT_EQ(window().lblNote->text().toStdString(), "The update feed could not be read: " + server.url("/appcast.xml"));
    widgettest::saveGrab(window(), "UpdaterWindow-failed");

    appcast = feedOf("99.0");
    archive = "not a zip";
    screen.clickedCheckForUpdates();
    ASSERT_TRUE(waitUntilShown("IDS_BGX_303"));
    EXPECT_TRUE(window().lblDetail->text().contains("99.0"));
    EXPECT_EQ(window().btnPrimary->text(), screenText("IDS_BGX_305"));
    EXPECT_EQ(window().btnSecondary->text(), screenText("IDS_BGX_42"));
    widgettest::saveGrab(window(), "UpdaterWindow-new-version");
    window().btnPrimary->click();
    ASSERT_TRUE(waitUntilShown("IDS_BGX_311"));
    EXPECT_EQ(window().lblDetail->text(), screenText("IDS_BGX_248"));
    widgettest::saveGrab(window(), "UpdaterWindow-refused");

    publishSmallRelease();
    screen.clickedCheckForUpdates();
    ASSERT_TRUE(waitUntilShown("IDS_BGX_303"));
    window().btnPrimary->click();
    ASSERT_TRUE(shows("IDS_BGX_306"));
    widgettest::saveGrab(window(), "UpdaterWindow-downloading");
    ASSERT_TRUE(waitUntilShown("IDS_BGX_308"));
    EXPECT_EQ(window().lblDetail->text(), screenText("IDS_BGX_241"));
    widgettest::saveGrab(window(), "UpdaterWindow-ready");
    EXPECT_FALSE(updater().downloadedBundlePath().empty());
    EXPECT_EQ(installedVersion(), versionBefore) << "installed at the quit, not before";
    window().btnSecondary->click();
    EXPECT_FALSE(window().isVisible());
    EXPECT_TRUE(seams.sheets.empty());
}

// The menu's Check for Updates… with automatic updates off, as the launch left them:
// the release found waits for the user. Later keeps nothing to install at the quit;
// Install downloads it and the quit installs it.
TEST_F(ApplicationUpdateCheck, TheMenusCheckInstallsOnlyWhatTheUserChose)
{
    publishSmallRelease();
    standardDefaults().setBool(SettingsKey::automaticallyUpdateBG, false);
    const std::string versionBefore = installedVersion();
    AppDelegate& delegate = AppDelegate::shared();
    delegate.setUpUpdates();
    delegate.checkForUpdate();
    QMenuBar menuBar;
    buildMainMenu(menuBar);

    delegate.menuItemCheckForUpdate->trigger();
    ASSERT_TRUE(waitUntilShown("IDS_BGX_303"));
    widgettest::saveGrab(window(), "UpdaterWindow-menu-new-version");
    QTest::keyClick(&window(), Qt::Key_Escape); // as Later
    EXPECT_FALSE(window().isVisible());
    EXPECT_FALSE(platform::dispatch::runMainLoopUntil([] { return !updater().downloadedBundlePath().empty(); },
                                                      std::chrono::seconds(2)));
    EXPECT_FALSE(updater().installUpdatesIfAvailable()) << "the quit installs nothing";
    EXPECT_EQ(installedVersion(), versionBefore);

    delegate.menuItemCheckForUpdate->trigger();
    ASSERT_TRUE(waitUntilShown("IDS_BGX_303"));
    window().btnPrimary->click();
    ASSERT_TRUE(waitUntilShown("IDS_BGX_308"));
    EXPECT_TRUE(updater().installUpdatesIfAvailable());
    EXPECT_EQ(installedVersion(), "2.0");
}

// An application an administrator installed, run by a user on a system with no way to
// ask for an administrator's rights: the window says that only an administrator can
// install the new version, and nothing is downloaded.
TEST_F(ApplicationUpdateCheck, AReleaseNobodyHereCanInstallIsOnlySaid)
{
    publishSmallRelease();
    platform::dispatch::asyncGlobal([] {}); // its threads start as root's, before the switch
    ::setenv("BG_TEST_ELEVATION_TOOL", (testsupport::platformRootFolder() / "no-pkexec").c_str(), 1);
    fs::permissions(testsupport::platformRootFolder(), fs::perms(0755)); // others may enter, as "/"
    UpdateSettingsViewController screen;
    bool said = false;
    {
        testsupport::RealUserThread user;
        if (!user.isSet()) {
            ::unsetenv("BG_TEST_ELEVATION_TOOL");
            GTEST_SKIP() << "this process cannot take a user's rights";
        }
        screen.clickedCheckForUpdates();
        said = waitUntilShown("IDS_BGX_311");
    }
    ::unsetenv("BG_TEST_ELEVATION_TOOL");
    fs::permissions(testsupport::platformRootFolder(), fs::perms::owner_all);
    ASSERT_TRUE(said);
    EXPECT_EQ(window().lblDetail->text(), screenText("IDS_BGX_249"));
    EXPECT_EQ(window().lblNote->text(), "Version 2.0 can only be installed by an administrator.");
    EXPECT_FALSE(window().btnPrimary->isVisibleTo(&window()));
    EXPECT_FALSE(updater().updateInProgress());
    EXPECT_TRUE(updater().downloadedBundlePath().empty());
    widgettest::saveGrab(window(), "UpdaterWindow-administrator-needed");
    window().btnSecondary->click();
    EXPECT_FALSE(window().isVisible());
}

// A release whose bundle is a link to the installed application is refused: the
// window says the update could not be installed and the installed bundle stays as it
// was, file for file.
TEST_F(ApplicationUpdateCheck, AReleaseThatLinksToTheInstalledApplicationIsRefused)
{
    const fs::path work = testsupport::platformRootFolder() / "release";
    fs::create_directories(work);
    fs::create_directory_symlink(bundle, work / "Bastion Guardpoint.app");
    ASSERT_EQ(std::system(("cd '" + work.string() + "' && zip -q -y r.zip 'Bastion Guardpoint.app'").c_str()), 0);
    archive = testsupport::readFileText(work / "r.zip");
    fs::remove_all(work);
    appcast = feedOf("99.0");
    const auto before = testsupport::folderTree(bundle.parent_path());

    UpdateSettingsViewController screen;
    screen.clickedCheckForUpdates();
    ASSERT_TRUE(waitUntilShown("IDS_BGX_303"));
    window().btnPrimary->click();
    ASSERT_TRUE(waitUntilShown("IDS_BGX_311"));
    EXPECT_EQ(testsupport::folderTree(bundle.parent_path()), before);
}

} // namespace
