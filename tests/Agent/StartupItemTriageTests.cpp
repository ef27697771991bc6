#include "AgentTest.h"

#include "Agent/AlertNotifications.h"
#include "Agent/StartupItemAlert.h"
#include "Agent/StartupItemTriage.h"
#include "Foundation/Settings.h"
#include "HostileEntries.h"
#include "Controls/HandCursorButton.h"
#include "Platform/Tools/ToolProcess.h"
#include "Platform/Values/PropertyList.h"
#include "Startup/LaunchOnStartup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>

namespace fs = std::filesystem;
namespace K = SettingsKey;
using namespace std::chrono_literals;
using testsupport::homeFolder;
using testsupport::underRoot;

namespace {

using StartupItemTriageTest = AgentTest;

std::string applicationPath(const std::string& name)
{
    return underRoot("/Applications/" + name + ".app").string();
}

// A launch-agent plist whose program lies in the application `name`.
fs::path plantLaunchAgent(const fs::path& folder, const std::string& name)
{
    const auto path = folder / ("com.example." + name + ".plist");
    const platform::Value plist(platform::Dictionary{
        {"Label", "com.example." + name},
        {"Program", applicationPath(name) + "/Contents/MacOS/" + name},
        {"RunAtLoad", true}});
    fs::create_directories(folder);
    EXPECT_TRUE(platform::writePropertyListFile(path.string(), plist));
    return path;
}

const fs::path userAgents = homeFolder() / "Library/LaunchAgents";

// A bundle of the product's own, wherever the user keeps it.
fs::path plantOwnBundle(const fs::path& bundle, const std::string& identifier)
{
    fs::create_directories(bundle / "Contents/MacOS");
    EXPECT_TRUE(platform::writePropertyListFile((bundle / "Contents/Info.plist").string(),
                                                platform::Dictionary{{"CFBundleIdentifier", identifier}}));
    return bundle;
}

std::string reportedItem(const platform::Notification& post)
{
    return *post.value<std::string>(AlertKey::newStartupItem);
}

TEST_F(StartupItemTriageTest, ALaunchAgentWrittenRaisesOneAlertUnlessTheSwitchIsFalse)
{
    for (const auto& [stored, alerted] : std::vector<std::pair<platform::Value, bool>>{
             {platform::Value(), true}, {true, true}, {"no", true}, {false, false}}) {
        SetUp();
        setSuiteValue(K::isStartupProtectionEnabled, stored);
        widgettest::NotificationRecorder alerts(AlertNotification::newStartupItem);
        startAgent();
        plantLaunchAgent(userAgents, "Tool");
        if (alerted) {
            ASSERT_TRUE(waitForPosts(alerts, 1));
            settle();
            ASSERT_EQ(alerts.received().size(), 1u);
            EXPECT_EQ(reportedItem(alerts.received().front()), applicationPath("Tool"));
            EXPECT_EQ(*alerts.received().front().value<std::string>(AlertKey::startupType), "Launch Agent");
        } else {
            settle(500ms);
            EXPECT_TRUE(alerts.received().empty());
        }
        TearDown();
    }
}

TEST_F(StartupItemTriageTest, AnItemReplacedByAnotherRaisesNothingAndARemovedItemIsNeverReportedAsNew)
{
    const auto first = plantLaunchAgent(userAgents, "Alpha");
    const auto second = plantLaunchAgent(underRoot("/Library/LaunchDaemons"), "Beta");
    widgettest::NotificationRecorder alerts(AlertNotification::newStartupItem);
    startAgent();

    fs::rename(first, userAgents / "com.example.Gamma.plist"); // one removed, one added
    settle(500ms);
    EXPECT_TRUE(alerts.received().empty());

    // While the switch is off nothing is compared or refreshed; the next pass sees
    // the daemon gone and two new agents.
    setSuiteValue(K::isStartupProtectionEnabled, false);
    fs::remove(second);
    plantLaunchAgent(underRoot("/Library/LaunchAgents"), "Delta");
    settle();
    setSuiteValue(K::isStartupProtectionEnabled, true);
    plantLaunchAgent(userAgents, "Epsilon");
    ASSERT_TRUE(waitForPosts(alerts, 2));
    settle();
    std::set<std::string> reported;
    for (const auto& post : alerts.received())
        reported.insert(reportedItem(post));
    EXPECT_EQ(alerts.received().size(), 2u);
    EXPECT_EQ(reported, (std::set{applicationPath("Delta"), applicationPath("Epsilon")}));
}

// Three plists moved in by one mv: each is alerted, and the alert shows them one
// after another ("1 of 3" to "3 of 3").
TEST_F(StartupItemTriageTest, ThreePlistsMovedInAtOnceAreEachAlertedInTurn)
{
    const auto staging = homeFolder() / "Staging";
    std::vector<std::string> moved;
    for (const char* name : {"Alpha", "Beta", "Gamma"})
        moved.push_back(plantLaunchAgent(staging, name).string());
    widgettest::NotificationRecorder alerts(AlertNotification::newStartupItem);
    startAgent();
    auto mv = moved;
    mv.push_back(userAgents.string());
    auto move = platform::ToolProcess::launch("/bin/mv", mv, platform::ToolProcess::Capture::Nothing);
    ASSERT_TRUE(move);
    ASSERT_EQ(move->waitForExit(), 0);
    ASSERT_TRUE(waitForPosts(alerts, 3));
    settle();
    EXPECT_EQ(alerts.received().size(), 3u);

    auto& alert = dynamic_cast<ViewControllerRT&>(*delegate->alertWindows().windowController(AlertKind::startupItem));
    std::set<QString> shown;
    for (int place = 1; place <= 3; ++place) {
        ASSERT_TRUE(alert.isVisible()) << place;
        EXPECT_EQ(alert.queuePlace().text(), QString("%1 of 3").arg(place));
        shown.insert(alert.lblStartupItem->text());
        widgettest::click(*alert.btnClose);
    }
    EXPECT_FALSE(alert.isVisible());
    EXPECT_EQ(shown, (std::set<QString>{"Alpha.app", "Beta.app", "Gamma.app"}));
}

TEST_F(StartupItemTriageTest, ADSStoreChangeNeitherAlertsNorRefreshesTheSnapshot)
{
    widgettest::NotificationRecorder alerts(AlertNotification::newStartupItem);
    startAgent();
    setSuiteValue(K::isStartupProtectionEnabled, false);
    plantLaunchAgent(userAgents, "Tool");
    settle();
    setSuiteValue(K::isStartupProtectionEnabled, true);
    testsupport::plantFile(userAgents / ".DS_Store");
    settle(500ms);
    EXPECT_TRUE(alerts.received().empty());
    testsupport::plantFile(userAgents / "notes.txt"); // any other event compares: the agent is new
    ASSERT_TRUE(waitForPosts(alerts, 1));
    EXPECT_EQ(reportedItem(alerts.received().front()), applicationPath("Tool"));
}

// The launch-agent snapshots a triage takes: how many, and the most at once.
struct CountedSnapshots {
    std::atomic<int> taken = 0;
    std::atomic<int> underWay = 0;
    std::atomic<int> mostAtOnce = 0;

    LaunchAgentSource source()
    {
        return [this] {
            ++taken;
            const int atOnce = ++underWay;
            for (int most = mostAtOnce; atOnce > most && !mostAtOnce.compare_exchange_weak(most, atOnce);)
                ;
            auto agents = launchAgentSnapshot();
            --underWay;
            return agents;
        };
    }
};

TEST_F(StartupItemTriageTest, ABurstOfLaunchAgentsIsComparedOneSnapshotAtATimeAndEachIsAlertedOnce)
{
    constexpr int burst = 300;
    const auto staging = testsupport::homeFolder() / "Staging";
    std::vector<fs::path> staged;
    for (int i = 0; i < burst; ++i)
        staged.push_back(plantLaunchAgent(staging, "Burst" + std::to_string(1000 + i)));
    CountedSnapshots snapshots;
    const auto windows = std::make_shared<AlertWindows>();
    const auto triage = std::make_shared<StartupItemTriage>(windows, systemClock, snapshots.source());
    triage->takeSnapshots();
    FileWatcher watcher({userAgents.string()});
    watcher.callback = [&](const FileWatcherEvent& event) { triage->launchAgentFolderEvent(event); };
    watcher.start();
    widgettest::NotificationRecorder alerts(AlertNotification::newStartupItem);
    for (const auto& path : staged)
        fs::rename(path, userAgents / path.filename());
    ASSERT_TRUE(waitForPosts(alerts, 1));
    plantLaunchAgent(userAgents, "Last");
    const auto lastAlerted = [&] {
        return std::ranges::any_of(alerts.received(), [](const auto& post) { return reportedItem(post) == applicationPath("Last"); });
    };
    EXPECT_TRUE(platform::dispatch::runMainLoopUntil(lastAlerted, 30s));
    settle(1s); // room for the comparisons still queued, if any
    watcher.stop();
    triage->stop();
    EXPECT_EQ(snapshots.mostAtOnce, 1);
    EXPECT_LT(snapshots.taken, 30) << "one snapshot at start-up, then a few for " << burst + 1 << " events";
    std::set<std::string> reported;
    for (const auto& post : alerts.received())
        reported.insert(reportedItem(post));
    EXPECT_EQ(alerts.received().size(), burst + 1u) << "each new agent once";
    EXPECT_EQ(reported.size(), burst + 1u);
}

// Neither at start-up nor later does a FIFO, a socket, a link to a device, a huge
// plist or one whose tags hide its depth hold the agent up: each is skipped with one line, and a well-formed
// plist beside them is alerted.
TEST_F(StartupItemTriageTest, HostileEntriesAreSkippedAndAWellFormedPlistBesideThemIsAlerted)
{
    widgettest::NotificationRecorder alerts(AlertNotification::newStartupItem);
    testing::internal::CaptureStdout();
    const testsupport::HostileEntries atStart(userAgents, "start");
    startAgent(); // returns: the start-up snapshot read past them
    plantLaunchAgent(userAgents, "Tool");
    ASSERT_TRUE(waitForPosts(alerts, 1));
    const testsupport::HostileEntries later(userAgents, "later");
    settle();
    plantLaunchAgent(userAgents, "Other");
    ASSERT_TRUE(waitForPosts(alerts, 2));
    settle();
    const std::string output = testing::internal::GetCapturedStdout();
    ASSERT_EQ(alerts.received().size(), 2u);
    EXPECT_EQ(reportedItem(alerts.received()[0]), applicationPath("Tool"));
    EXPECT_EQ(reportedItem(alerts.received()[1]), applicationPath("Other"));
    for (const auto* entries : {&atStart, &later})
        for (const auto& [path, refusal] : entries->entries())
            EXPECT_THAT(output, testing::HasSubstr("\"" + path.string() + "\" " + refusal)) << path;
}

// Launch agents that loaders skipping the prolog read, dropped in one after the
// other: one that begins with a byte-order mark, one whose DOCTYPE leaves a quote open.
TEST_F(StartupItemTriageTest, LaunchAgentsWithALenientlyReadPrologAreAlerted)
{
    const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    const std::pair<std::string, std::string> prologs[] = {
        {"Marked", "\xEF\xBB\xBF" + declaration},
        {"Quoted", declaration + "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN \"http://www.apple.com/DTDs/"
                                 "PropertyList-1.0.dtd\">\n"},
    };
    widgettest::NotificationRecorder alerts(AlertNotification::newStartupItem);
    startAgent();
    for (const auto& [name, prolog] : prologs) {
        testsupport::plantFile(userAgents / ("com.example." + name + ".plist"),
                               prolog + "<plist version=\"1.0\"><dict><key>Label</key><string>com.example." + name +
                                   "</string><key>Program</key><string>" + applicationPath(name) + "/Contents/MacOS/" +
                                   name + "</string><key>RunAtLoad</key><true/></dict></plist>\n");
        ASSERT_TRUE(waitForPosts(alerts, alerts.received().size() + 1)) << name;
    }
    settle();
    ASSERT_EQ(alerts.received().size(), 2u);
    EXPECT_EQ(reportedItem(alerts.received()[0]), applicationPath("Marked"));
    EXPECT_EQ(reportedItem(alerts.received()[1]), applicationPath("Quoted"));
}

// The agent's own launch agent, written beside another one: only the other is new.
TEST_F(StartupItemTriageTest, TheAgentsOwnLaunchAgentIsNeverAlerted)
{
    const auto agent = plantOwnBundle(homeFolder() / "Library/Application Support/Bastion Guardpoint/"
                                                     "ActiveGuardSentinelWarden.app",
                                      "com.tarnwicklabs.activeguardsentinelwarden");
    widgettest::NotificationRecorder alerts(AlertNotification::newStartupItem);
    startAgent();
    fs::create_directories(userAgents);
    ASSERT_TRUE(platform::writePropertyListFile(
        (userAgents / "com.tarnwicklabs.activeguardsentinelwarden.plist").string(),
        platform::Dictionary{{"Label", "com.tarnwicklabs.activeguardsentinelwarden"},
                             {"ProgramArguments", platform::Array{"/usr/bin/open", "-F", "-g", agent.string()}},
                             {"KeepAlive", true},
                             {"RunAtLoad", true}}));
    settle(500ms);
    plantLaunchAgent(userAgents, "Tool");
    ASSERT_TRUE(waitForPosts(alerts, 1));
    settle();
    ASSERT_EQ(alerts.received().size(), 1u);
    EXPECT_EQ(reportedItem(alerts.received().front()), applicationPath("Tool"));
}

// The login-items poll, with a clock of the test's.
class LoginItemsPollTest : public AgentTest {
protected:
    void SetUp() override
    {
        AgentTest::SetUp();
        fs::create_directories(applicationPath("Helper"));
        helper = platform::FileURL::fromPath(applicationPath("Helper"));
    }

    // A fresh triage whose snapshot lacks the helper, which is then added.
    std::shared_ptr<StartupItemTriage> addHelperAfterSnapshot(platform::Date now)
    {
        setLaunchOnStartup(false, helper);
        auto triage = std::make_shared<StartupItemTriage>(windows, [now] { return now; });
        triage->takeSnapshots();
        setLaunchOnStartup(true, helper);
        return triage;
    }

    std::shared_ptr<AlertWindows> windows = std::make_shared<AlertWindows>();
    platform::FileURL helper = platform::FileURL::fromPath("/");
};

// Within a second, as the application stores it: the stored date keeps its fraction.
const platform::Date reEnabledAt = std::chrono::sys_days{std::chrono::year{2026} / 3 / 4} + 10h + 500ms;

TEST_F(LoginItemsPollTest, AnItemTheApplicationReEnabledIsSilentForTenSeconds)
{
    struct Case {
        std::chrono::milliseconds sinceReEnable;
        std::string storedPath;
        bool alerted;
    };
    for (const auto& [since, storedPath, alerted] : std::vector<Case>{
             {9'900ms, helper.path(), false},
             {10s, helper.path(), false},
             {10'900ms, helper.path(), false},
             {11s, helper.path(), true},
             {-5s, helper.path(), false},
             {0s, helper.path() + "/", true}, // another path
         }) {
        setSuiteValue(K::startupItemEnabledPathAGSQ, storedPath);
        setSuiteValue(K::startupItemEnabledDateAGSQ, reEnabledAt);
        widgettest::NotificationRecorder alerts(AlertNotification::newStartupItem);
        addHelperAfterSnapshot(reEnabledAt + since)->pollLoginItems();
        if (alerted) {
            ASSERT_TRUE(waitForPosts(alerts, 1)) << since.count();
            EXPECT_EQ(reportedItem(alerts.received().front()), helper.path());
            EXPECT_EQ(*alerts.received().front().value<std::string>(AlertKey::startupType), "Login Item");
        } else {
            settle(1500ms);
            EXPECT_TRUE(alerts.received().empty()) << since.count();
        }
    }
}

// Two login items added between two polls are both alerted, save the one the
// application has just re-enabled.
TEST_F(LoginItemsPollTest, LoginItemsAddedTogetherAreEachAlertedSaveOneJustReEnabled)
{
    fs::create_directories(applicationPath("Other"));
    const auto other = platform::FileURL::fromPath(applicationPath("Other"));
    for (const auto& [since, expected] : std::vector<std::pair<std::chrono::seconds, std::set<std::string>>>{
             {5s, {other.path()}}, {20s, {helper.path(), other.path()}}}) {
        setLaunchOnStartup(false, other);
        setSuiteValue(K::startupItemEnabledPathAGSQ, helper.path());
        setSuiteValue(K::startupItemEnabledDateAGSQ, reEnabledAt);
        widgettest::NotificationRecorder alerts(AlertNotification::newStartupItem);
        const auto triage = addHelperAfterSnapshot(reEnabledAt + since);
        setLaunchOnStartup(true, other);
        triage->pollLoginItems();
        ASSERT_TRUE(waitForPosts(alerts, expected.size())) << since.count();
        settle(1500ms);
        std::set<std::string> reported;
        for (const auto& post : alerts.received())
            reported.insert(reportedItem(post));
        EXPECT_EQ(alerts.received().size(), expected.size()) << since.count();
        EXPECT_EQ(reported, expected) << since.count();
    }
}

// The application, moved into a subfolder, and the agent as login items beside
// another application: only the other is new.
TEST_F(LoginItemsPollTest, TheProductsOwnApplicationAndAgentAreNeverAlertedAsNewLoginItems)
{
    const auto application =
        plantOwnBundle(applicationPath("Security/Tools/Bastion Guardpoint"), "com.tarnwicklabs.bastionguardpoint");
    const auto agent = plantOwnBundle(homeFolder() / "Library/Application Support/Bastion Guardpoint/"
                                                     "ActiveGuardSentinelWarden.app",
                                      "com.tarnwicklabs.activeguardsentinelwarden");
    widgettest::NotificationRecorder alerts(AlertNotification::newStartupItem);
    auto triage = std::make_shared<StartupItemTriage>(windows);
    triage->takeSnapshots();
    for (const auto& bundle : {application, agent, fs::path(applicationPath("Helper"))})
        setLaunchOnStartup(true, platform::FileURL::fromPath(bundle.string()));
    triage->pollLoginItems();
    ASSERT_TRUE(waitForPosts(alerts, 1));
    settle(1500ms);
    ASSERT_EQ(alerts.received().size(), 1u);
    EXPECT_EQ(reportedItem(alerts.received().front()), helper.path());
}

// The agent ends at once: a poll still in its delay ends there, alerting nothing.
TEST_F(LoginItemsPollTest, APollInItsDelayWhenTheTriageStopsEndsWithoutAlerting)
{
    widgettest::NotificationRecorder alerts(AlertNotification::newStartupItem);
    const auto triage = addHelperAfterSnapshot(std::chrono::system_clock::now());
    triage->pollLoginItems();
    settle(100ms); // the poll is under way
    triage->stop();
    settle(1500ms);
    EXPECT_TRUE(alerts.received().empty());
}

TEST_F(LoginItemsPollTest, ThePollStaysIdleWhileTheSwitchIsFalseAndCatchesUpAfterwards)
{
    widgettest::NotificationRecorder alerts(AlertNotification::newStartupItem);
    setSuiteValue(K::isStartupProtectionEnabled, false);
    const auto triage = addHelperAfterSnapshot(std::chrono::system_clock::now());
    triage->pollLoginItems();
    settle(1500ms);
    EXPECT_TRUE(alerts.received().empty());

    setSuiteValue(K::isStartupProtectionEnabled, true);
    triage->pollLoginItems();
    triage->pollLoginItems(); // dropped: the first poll is still running
    ASSERT_TRUE(waitForPosts(alerts, 1));
    settle(1500ms);
    EXPECT_EQ(alerts.received().size(), 1u);
}

} // namespace
