#include "AppShellTest.h"
#include "KeyEchoTextTable.h"
#include "ScreenSeams.h"
#include "WidgetTestSupport.h"

#include "App/AllViewControllers.h"
#include "App/InitialWindowController.h"
#include "App/ViewController.h"
#include "Controls/FlatButton.h"
#include "Foundation/IndexVocabularies.h"
#include "Platform/Reachability/NetworkReachability.h"
#include "Screens/Manage/SettingsViewController.h"
#include "Screens/Manage/UpdateSettingsViewController.h"

#include <gtest/gtest.h>

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

// The application's own update check from the Update tab, against the loopback feed.
class ApplicationUpdateCheck : public AppShellTest {
protected:
    void SetUp() override
    {
        AppShellTest::SetUp();
        platform::forceReachabilityFlags(platform::reachabilityReachable);
    }

    std::string checkAndWaitForResult()
    {
        screentest::ScreenSeams seams;
        UpdateSettingsViewController screen;
        screen.clickedCheckForUpdates();
        EXPECT_FALSE(screen.btnCheckForUpdates->isEnabled()) << "one check at a time";
        if (!platform::dispatch::runMainLoopUntil([&] { return !seams.sheets.empty(); }, std::chrono::seconds(20)))
            return "no result";
        EXPECT_TRUE(screen.btnCheckForUpdates->isEnabled());
        // Answered, so its overlay does not stay up on a main window that outlives the test.
        seams.answerSheet(alertFirstButtonReturn);
        return seams.sheets.back().informativeText;
    }

    std::string feedOf(const std::string& version)
    {
        return "<rss xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\"><channel><item>"
               "<enclosure url=\"" + server.url("/release.zip") + "\" sparkle:version=\"" + version +
               "\"/></item></channel></rss>";
    }

    screentest::KeyEchoTextTable texts;
};

// A check that found nothing says so; a feed that cannot be read is a failure, never
// "up to date"; a release that cannot be unpacked was not installed, which is no
// failure of the connection.
TEST_F(ApplicationUpdateCheck, TheResultOfTheCheckIsShown)
{
    appcast = feedOf("0.1");
    EXPECT_EQ(checkAndWaitForResult(), "IDS_BGX_240");
    appcast = "not a feed";
    EXPECT_EQ(checkAndWaitForResult(), "IDS_BGX_242");
    appcast = feedOf("99.0");
    archive = "not a zip";
    EXPECT_EQ(checkAndWaitForResult(), "IDS_BGX_248");
}

// A release whose bundle is a link to the installed application is refused: Check for
// Updates says the update could not be installed and the installed bundle stays as it
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

    EXPECT_EQ(checkAndWaitForResult(), "IDS_BGX_248");
    EXPECT_EQ(testsupport::folderTree(bundle.parent_path()), before);
}

} // namespace
