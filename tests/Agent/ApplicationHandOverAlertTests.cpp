#include "AlertWindowTest.h"

#include "Agent/AlertWindow.h"
#include "Agent/ApplicationHandOver.h"
#include "Agent/CrashAlert.h"
#include "Agent/StartupItemAlert.h"
#include "Controls/AgentNotificationNames.h"
#include "Controls/FlatButton.h"
#include "Platform/Notifications/DistributedNotificationCenter.h"
#include "Platform/Workspace/PlantedApplication.h"
#include "RootProcesses.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// A window whose button hands the user over to the application, the suite key of
// its click date and the distributed notification it posts.
struct HandOver {
    const char* name;
    std::function<std::unique_ptr<AlertWindow>()> make;
    std::function<FlatButton&(AlertWindow&)> button;
    const char* clickDateKey;
    const char* notification;
};

const HandOver handOvers[] = {
    {"ManageNow", [] { return std::make_unique<ViewControllerRT>(); },
     [](AlertWindow& window) -> FlatButton& { return *static_cast<ViewControllerRT&>(window).btnManageNow; },
     SettingsKey::clickedManageAppDateAGSQ, observeAGSQNotificationName},
    {"ScanNow", [] { return std::make_unique<CrashesViewController>(); },
     [](AlertWindow& window) -> FlatButton& { return *static_cast<CrashesViewController&>(window).btnScanNow; },
     SettingsKey::clickedCrashesDateAGSQ, observeAGSQCrashReportNotificationName},
};

void PrintTo(const HandOver& handOver, std::ostream* out)
{
    *out << handOver.name;
}

class HandOverTest : public AlertWindowTest, public testing::WithParamInterface<HandOver> {
protected:
    void SetUp() override
    {
        AlertWindowTest::SetUp();
        window = GetParam().make();
        window->show();
        observer = platform::DistributedNotificationCenter::defaultCenter().addObserver(
            GetParam().notification, agentNotificationObject,
            [this](const std::string&, const std::string&) { ++posts; });
    }

    // The application's bundle in `folder` under `identifier`.
    static fs::path plantApplication(const std::string& identifier, const std::string& folder = "/Applications")
    {
        return testsupport::plantApplication(testsupport::underRoot(folder + "/Bastion Guardpoint.app"),
                                             {{"CFBundleIdentifier", identifier}});
    }

    static std::size_t runningCopies(const std::string& identifier)
    {
        return testsupport::runningCopiesOf(identifier).size();
    }

    void click()
    {
        const auto before = std::chrono::system_clock::now();
        widgettest::click(GetParam().button(*window));
        EXPECT_FALSE(window->isVisible());
        const auto stored = appGroupDefaults()->date(GetParam().clickDateKey);
        ASSERT_TRUE(stored);
        EXPECT_GE(*stored, before - 1s);
        EXPECT_LE(*stored, std::chrono::system_clock::now() + 1s);
    }

    std::unique_ptr<AlertWindow> window;
    int posts = 0;
    platform::ObservationToken observer;
};

TEST_P(HandOverTest, ARunningApplicationIsToldOnceAndNotStartedAgain)
{
    const auto bundle = plantApplication(applicationBundleIdentifier);
    testsupport::RunningCopy application(bundle);
    ASSERT_TRUE(application.started());
    ASSERT_TRUE(waitFor([] { return runningCopies(applicationBundleIdentifier) == 1; }));
    click();
    EXPECT_TRUE(waitFor([this] { return posts == 1; }));
    settle(500ms);
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(runningCopies(applicationBundleIdentifier), 1u);
}

// Wherever the user keeps the application: in "/Applications" or a subfolder of it.
TEST_P(HandOverTest, AnApplicationNotRunningIsLaunchedWithoutAPost)
{
    for (const std::string folder : {"/Applications", "/Applications/Utilities"}) {
        const auto bundle = plantApplication(applicationBundleIdentifier, folder);
        const auto mark = testsupport::platformRootFolder() / "launched";
        testsupport::plantFile(bundle / "Contents/MacOS/Bastion Guardpoint",
                               "#!/bin/sh\ntouch '" + mark.string() + "'\n");
        fs::permissions(bundle / "Contents/MacOS/Bastion Guardpoint", fs::perms::owner_all);
        click();
        EXPECT_TRUE(waitFor([&] { return fs::exists(mark); })) << folder;
        settle();
        EXPECT_EQ(posts, 0) << folder;
        fs::remove_all(bundle);
        fs::remove(mark);
        window->show();
    }
}

TEST_P(HandOverTest, AnIdentifierThatDiffersInLetterCaseIsNotTheApplication)
{
    const auto bundle = plantApplication("com.tarnwicklabs.BastionGuardpoint");
    testsupport::RunningCopy other(bundle);
    ASSERT_TRUE(other.started());
    click();
    settle();
    EXPECT_EQ(posts, 0);
}

INSTANTIATE_TEST_SUITE_P(Alerts, HandOverTest, testing::ValuesIn(handOvers),
                         [](const testing::TestParamInfo<HandOver>& info) { return std::string(info.param.name); });

} // namespace
