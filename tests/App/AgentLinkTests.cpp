#include "AppShellTest.h"

#include "App/AgentIdentity.h"
#include "App/AllViewControllers.h"
#include "App/AppDelegate.h"
#include "Foundation/IndexVocabularies.h"
#include "App/InitialWindowController.h"
#include "Foundation/Settings.h"
#include "Foundation/SharedState.h"
#include "Platform/Tools/ToolProcess.h"
#include "Platform/Values/PropertyList.h"
#include "Screens/Manage/StartupItemsViewController.h"

#include <gtest/gtest.h>

namespace K = SettingsKey;
using namespace std::chrono_literals;

namespace {

class AgentLink : public AppShellTest {
protected:
    void SetUp() override
    {
        AppShellTest::SetUp();
        auto& center = platform::NotificationCenter::defaultCenter();
        tokens.push_back(center.addObserver("MenuSelectionBGX", [this](const platform::Notification& n) {
            if (const Menu* menu = n.value<Menu>(menuKey); menu && *menu == Menu::startupManager)
                posts.push_back("startupManager");
        }));
        tokens.push_back(center.addObserver("ReloadStartupItemsBGX", [this](const auto&) { posts.push_back("reload"); }));
    }
    void TearDown() override
    {
        isCleanInProgress = false;
        isStartupItemsCleanPaused = false;
        AppShellTest::TearDown();
    }

    static void postFromAnotherProcess(const std::string& name, const std::string& object)
    {
        auto poster = platform::ToolProcess::launch(BG_POST_NOTIFICATION_TOOL, {name, object},
                                                    platform::ToolProcess::Capture::Nothing);
        ASSERT_TRUE(poster);
        EXPECT_EQ(poster->waitForExit(), 0);
    }

    static void clickedAgo(const char* key, std::chrono::milliseconds age)
    {
        appGroupDefaults()->setObject(key, platform::Date(std::chrono::system_clock::now() - age));
    }

    std::vector<std::string> posts;
    std::vector<platform::ObservationToken> tokens;
};

const std::vector<std::string> startupItemsShown{"startupManager", "reload"};

TEST_F(AgentLink, ObserveAGSQFromAnotherProcessOpensTheStartupItems)
{
    AllViewControllers::initialWindowController();
    AppDelegate::shared().observeAgent();
    postFromAnotherProcess("ObserveAGSQ", "com.example.other"); // another object: not delivered
    postFromAnotherProcess("ObserveAGSQ", agentBundleIdentifier);
    ASSERT_TRUE(waitUntil([&] { return posts.size() >= 2; }));
    platform::dispatch::runMainLoopFor(100ms);
    EXPECT_EQ(posts, startupItemsShown);
}

TEST_F(AgentLink, RequestsWhileACleanIsInProgressAreDropped)
{
    AllViewControllers::initialWindowController();
    isCleanInProgress = true;
    AppDelegate::shared().showStartupItemsFromAgent();
    EXPECT_TRUE(posts.empty());
}

// A removal of startup items keeps the lists it works on until its result shows.
TEST_F(AgentLink, ARequestDuringAStartupItemRemovalIsDroppedUntilItsResultShows)
{
    const auto plist = testsupport::homeFolder() / "Library/LaunchAgents/com.example.sync.plist";
    ASSERT_TRUE(platform::writePropertyListFile(
        plist.string(), platform::Dictionary{{"Label", "com.example.sync"}, {"ProgramArguments", platform::Array{"/bin/sleep"}}}));
    AllViewControllers::initialWindowController();
    StartupItemsModel& model = AllViewControllers::startupItemsViewController().model();
    ASSERT_TRUE(waitUntil([&] { return !model.isLoading(); }));
    model.setMenuClicked(StartupManager::launchAgents);
    model.pauseAfterEachRemoval = [] {};
    bool resultShown = false;
    tokens.push_back(platform::NotificationCenter::defaultCenter().addObserver(
        "NotifyCleanProcessComplete_StartupItemsBGX", [&](const auto&) { resultShown = true; }));

    isStartupItemsCleanPaused = true; // the removal waits before its first item
    model.startRemoval();
    AppDelegate::shared().showStartupItemsFromAgent();
    platform::dispatch::runMainLoopFor(200ms);
    EXPECT_TRUE(posts.empty());

    isStartupItemsCleanPaused = false;
    ASSERT_TRUE(waitUntil([&] { return resultShown; }));
    AppDelegate::shared().showStartupItemsFromAgent();
    EXPECT_EQ(posts, startupItemsShown);
}

TEST_F(AgentLink, ManageClickYoungerThanTwentySecondsOpensTheStartupItems)
{
    AllViewControllers::initialWindowController();
    // A click 18.1 s old is still at most 19 whole seconds old when the launch takes
    // up to 1.9 s to read it.
    for (const auto& [age, shown] : {std::pair{18'100ms, true}, std::pair{20'000ms, false}, std::pair{-30'000ms, true}}) {
        posts.clear();
        clickedAgo(K::clickedManageAppDateAGSQ, age);
        AppDelegate::shared().observeAgent();
        EXPECT_EQ(posts, shown ? startupItemsShown : std::vector<std::string>{}) << age.count() << " ms";
    }
}

TEST_F(AgentLink, ARequestBeforeTheMainWindowExistsIsActedOnOnceItDoes)
{
    clickedAgo(K::clickedManageAppDateAGSQ, 2s);
    AppDelegate::shared().applicationWillFinishLaunching();
    EXPECT_EQ(posts, startupItemsShown);
    EXPECT_TRUE(AllViewControllers::initialWindowController().isVisible());
}

} // namespace
