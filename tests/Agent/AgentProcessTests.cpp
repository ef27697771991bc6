#include "Foundation/InstanceLock.h"
#include "Foundation/Settings.h"
#include "HostileEntries.h"
#include "Foundation/UserPaths.h"
#include "LaunchdTestFixture.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Tools/ToolProcess.h"
#include "Platform/Values/PropertyList.h"
#include "Platform/Workspace/ProcessStat.h"
#include "RootProcesses.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::homeFolder;

namespace {

const std::string agentIdentifier = "com.tarnwicklabs.activeguardsentinelwarden";
const std::string agentExecutable = std::string(BG_AGENT_BUNDLE) + "/Contents/MacOS/ActiveGuardSentinelWarden";

// Agents of the root, started by anyone; each test ends those it caused.
class AgentProcessTest : public testsupport::LaunchdTest {
protected:
    void SetUp() override
    {
        LaunchdTest::SetUp();
        ::setenv("BG_NETWORK_REACHABLE", "0", 1);
        partial = testsupport::plantFile(homeFolder() / "Partial/OrlundoInstaller.dmg");
        download = homeFolder() / "Downloads/OrlundoInstaller.dmg";
    }
    void TearDown() override
    {
        LaunchdTest::TearDown(); // no job starts an agent any more
        for (const pid_t pid : runningAgents())
            ::kill(pid, SIGKILL);
        ::unsetenv("BG_NETWORK_REACHABLE");
    }

    static std::vector<pid_t> runningAgents()
    {
        std::vector<pid_t> agents;
        for (const auto& application : testsupport::runningCopiesOf(agentIdentifier))
            agents.push_back(application.processIdentifier);
        return agents;
    }

    static bool hasEnded(pid_t pid) { return !platform::runningProcessStartTime(pid); }

    static bool waitLong(const std::function<bool()>& condition)
    {
        return platform::dispatch::runMainLoopUntil(condition, 30s);
    }

    // The paths the agent lists as alerted, from its own defaults file.
    static std::vector<std::string> alertedPaths()
    {
        const auto agentDefaults = homeFolder() / ("Library/Preferences/" + agentIdentifier + ".plist");
        const auto plist = platform::readPropertyListFile(agentDefaults.string());
        const auto* paths = plist && plist->asDictionary() ? plist->find("NewDownloadPathsWithNagsBGX") : nullptr;
        std::vector<std::string> texts;
        for (const auto& path : paths && paths->asArray() ? *paths->asArray() : platform::Array{})
            texts.push_back(path.asText() ? *path.asText() : "");
        return texts;
    }

    // Moves each matching download in (and out again) until the agent's watcher,
    // started once its start-up has run, reports it; true once the agent lists
    // these downloads alone.
    static bool renameInUntilAlerted(const std::vector<std::string>& names)
    {
        std::vector<std::string> expected;
        for (const auto& name : names)
            expected.push_back((homeFolder() / "Downloads" / name).string());
        std::ranges::sort(expected);
        return waitLong([&] {
            auto listed = alertedPaths();
            for (const auto& name : names) {
                const auto partial = homeFolder() / "Partial" / name;
                const auto download = homeFolder() / "Downloads" / name;
                if (std::ranges::find(listed, download.string()) == listed.end())
                    fs::rename(fs::exists(partial) ? partial : download, fs::exists(partial) ? download : partial);
            }
            platform::dispatch::runMainLoopFor(300ms);
            listed = alertedPaths();
            std::ranges::sort(listed);
            return listed == expected;
        });
    }
    bool renameInUntilAlerted() { return renameInUntilAlerted({download.filename().string()}); }

    // A matching download, written elsewhere; where it is renamed into.
    fs::path partial;
    fs::path download;
};

// Whether the process has its own handler of SIGTERM (bit 15 of SigCgt).
bool catchesTermination(pid_t pid)
{
    const auto status = testsupport::readFileText("/proc/" + std::to_string(pid) + "/status");
    const auto line = status.find("SigCgt:");
    return line != std::string::npos && (std::stoull(status.substr(line + 7), nullptr, 16) & (1ull << (SIGTERM - 1)));
}

bool agentLockIsTaken()
{
    return !takeAgentInstanceLock().held();
}

TEST_F(AgentProcessTest, OneAgentAtATimeAndTerminationEndsItCleanly)
{
    auto first = platform::ToolProcess::launch(agentExecutable, {}, platform::ToolProcess::Capture::Nothing);
    ASSERT_TRUE(first);
    ASSERT_TRUE(waitLong(agentLockIsTaken));

    auto second = platform::ToolProcess::launch(agentExecutable, {}, platform::ToolProcess::Capture::Nothing);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->waitForExit(), 0);
    EXPECT_FALSE(hasEnded(first->pid()));

    ::kill(first->pid(), SIGTERM);
    EXPECT_EQ(first->waitForExit(), 0) << "a clean exit, not the signal";
    EXPECT_FALSE(agentLockIsTaken());
}

// With a FIFO, a socket, a link to /dev/zero and a huge plist among the user's
// launch agents the agent program gets through its start-up to its event loop,
// where a termination signal is handled.
TEST_F(AgentProcessTest, HostileLaunchAgentEntriesDoNotHoldTheStartUp)
{
    const testsupport::HostileEntries hostile(homeFolder() / "Library/LaunchAgents", "hostile");
    auto agent = platform::ToolProcess::launch(agentExecutable, {}, platform::ToolProcess::Capture::Nothing);
    ASSERT_TRUE(agent);
    ASSERT_TRUE(waitLong([&] { return catchesTermination(agent->pid()); })) << "its handler comes before the start-up";
    ::kill(agent->pid(), SIGTERM);
    const bool ended = waitLong([&] { return hasEnded(agent->pid()); });
    if (!ended)
        ::kill(agent->pid(), SIGKILL);
    EXPECT_TRUE(ended) << "the signal waits for an event loop the start-up never reached";
    EXPECT_EQ(agent->waitForExit(), ended ? 0 : SIGKILL);
}

// A few hundred bytes of plist that read as billions of values, among the user's
// launch agents with the other hostile entries: the agent skips each with its
// line, keeps running and alerts a matching download.
TEST_F(AgentProcessTest, AnExpandingLaunchAgentPlistIsSkippedAndDownloadsAreStillAlerted)
{
    fs::create_directories(fs::path(databasePath()).parent_path());
    fs::copy_file(fs::path(BG_APP_BUNDLE) / "Contents/Resources/BGX.db", databasePath());
    const testsupport::HostileEntries hostile(homeFolder() / "Library/LaunchAgents", "hostile");
    auto agent = platform::ToolProcess::launch(agentExecutable, {}, platform::ToolProcess::Capture::Output);
    ASSERT_TRUE(agent);
    const bool alerted = renameInUntilAlerted();
    const bool running = !hasEnded(agent->pid());
    ::kill(agent->pid(), running ? SIGTERM : SIGKILL);
    const std::string output = agent->readOutputToEnd();
    EXPECT_EQ(agent->waitForExit(), 0) << "a clean exit, not a crash";
    EXPECT_TRUE(alerted);
    EXPECT_TRUE(running);
    for (const auto& [path, refusal] : hostile.entries())
        EXPECT_NE(output.find("Unreadable file skipped: \"" + path.string() + "\" " + refusal + "\n"),
                  std::string::npos) << path;
}

// A launch agent of 700,000 references (3.5 MB) among the user's: the agent's
// watchers are up before the snapshots read it, and its read is quick, so a
// download renamed in once, 3 seconds after the agent's start, is alerted.
TEST_F(AgentProcessTest, ALaunchAgentPlistOfManyReferencesDelaysNoWatcher)
{
    fs::create_directories(fs::path(databasePath()).parent_path());
    fs::copy_file(fs::path(BG_APP_BUNDLE) / "Contents/Resources/BGX.db", databasePath());
    std::string references = "<plist><dict><key>Label</key><string>";
    for (int i = 0; i < 700000; ++i)
        references += "&amp;";
    testsupport::plantFile(homeFolder() / "Library/LaunchAgents/references.plist",
                           references + "</string></dict></plist>");
    auto agent = platform::ToolProcess::launch(agentExecutable, {}, platform::ToolProcess::Capture::Nothing);
    ASSERT_TRUE(agent);
    ASSERT_TRUE(waitLong([&] { return catchesTermination(agent->pid()); })) << "its handler comes before the start-up";
    platform::dispatch::runMainLoopFor(3s);
    fs::rename(partial, download);
    const bool alerted = waitLong([&] { return alertedPaths() == std::vector<std::string>{download.string()}; });
    ::kill(agent->pid(), SIGTERM);
    EXPECT_EQ(agent->waitForExit(), 0) << "a clean exit, not a crash";
    EXPECT_TRUE(alerted);
}

// The application's start-up installs the agent and its launch agent; launchd
// starts it, and its downloads watcher lists a matching download as alerted.
TEST_F(AgentProcessTest, TheAgentStartedThroughLaunchdByTheApplicationWatchesDownloads)
{
    const auto bundle = testsupport::underRoot("/Applications/Bastion Guardpoint.app");
    fs::copy(BG_APP_BUNDLE, bundle, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    appGroupDefaults()->setBool(SettingsKey::isActiveProtectionEnabled, true);
    auto application = platform::ToolProcess::launch((bundle / "Contents/MacOS/Bastion Guardpoint").string(), {},
                                                     platform::ToolProcess::Capture::Nothing);
    ASSERT_TRUE(application);
    ASSERT_TRUE(waitLong([] { return !runningAgents().empty(); })) << "launchd starts the agent";
    const bool reported = renameInUntilAlerted();
    ::kill(application->pid(), SIGKILL);
    application->waitForExit();
    EXPECT_TRUE(reported);
}

// A quit (SIGTERM) while the download alert shows one of three hits and two
// wait: the agent closes its alert and ends at once, dismissing none of them.
TEST_F(AgentProcessTest, TerminationWithDownloadAlertsWaitingEndsTheAgentAtOnce)
{
    fs::create_directories(fs::path(databasePath()).parent_path());
    fs::copy_file(fs::path(BG_APP_BUNDLE) / "Contents/Resources/BGX.db", databasePath());
    const std::vector<std::string> names{"OrlundoInstaller.dmg", "SnapfyreInstaller.dmg", "Qlorvex Mac Booster.app"};
    for (const auto& name : names)
        testsupport::plantFile(homeFolder() / "Partial" / name);
    auto agent = platform::ToolProcess::launch(agentExecutable, {}, platform::ToolProcess::Capture::Nothing);
    ASSERT_TRUE(agent);
    ASSERT_TRUE(renameInUntilAlerted(names));
    const auto alerted = alertedPaths();

    ::kill(agent->pid(), SIGTERM);
    const bool ended = waitLong([&] { return hasEnded(agent->pid()); });
    if (!ended)
        ::kill(agent->pid(), SIGKILL);
    ASSERT_TRUE(ended) << "the quit waits for the alerts";
    EXPECT_EQ(agent->waitForExit(), 0) << "a clean exit, not the signal";
    EXPECT_EQ(alertedPaths(), alerted) << "no waiting hit is dismissed unseen";
}

// An agent killed with its download alert open leaves the path listed as alerted;
// the next agent starts with the list empty and alerts the same download again.
TEST_F(AgentProcessTest, APathAlertedByAKilledAgentIsAlertedAgainByTheNextAgent)
{
    fs::create_directories(fs::path(databasePath()).parent_path());
    fs::copy_file(fs::path(BG_APP_BUNDLE) / "Contents/Resources/BGX.db", databasePath());
    auto first = platform::ToolProcess::launch(agentExecutable, {}, platform::ToolProcess::Capture::Nothing);
    ASSERT_TRUE(first);
    ASSERT_TRUE(renameInUntilAlerted());
    ::kill(first->pid(), SIGKILL);
    first->waitForExit();
    if (fs::exists(download)) // the renames may have moved it out again as the agent listed it
        fs::rename(download, partial);
    ASSERT_EQ(alertedPaths(), std::vector<std::string>{download.string()}) << "left listed by the killed agent";

    auto second = platform::ToolProcess::launch(agentExecutable, {}, platform::ToolProcess::Capture::Nothing);
    ASSERT_TRUE(second);
    EXPECT_TRUE(waitLong([] { return alertedPaths().empty(); })) << "the next agent starts with an empty list";
    EXPECT_TRUE(renameInUntilAlerted());
    ::kill(second->pid(), SIGKILL);
    second->waitForExit();
}

// The suite left to another user (what a run with sudo leaves), the agent running
// without root's file access override: a suite it may read is read (protection as
// stored, ignored downloads raise nothing); one it may not open is read once it is
// given back, without a restart.
TEST_F(AgentProcessTest, TheAgentReadsASuiteOfAnotherUserWhereItCanAndOnceItIsGivenBack)
{
    const char* const setpriv = "/usr/bin/setpriv";
    if (::geteuid() == 0 && !fs::exists(setpriv))
        GTEST_SKIP() << "no setpriv to start the agent without root's file access override";
    const struct {
        const char* name;
        fs::perms mode;
        bool givenBack;
    } cases[] = {{"readable, not writable", fs::perms(0644), false}, {"not to be opened", fs::perms(0600), true}};
    for (const auto& each : cases) {
        SCOPED_TRACE(each.name);
        SetUp();
        fs::create_directories(fs::path(databasePath()).parent_path());
        fs::copy_file(fs::path(BG_APP_BUNDLE) / "Contents/Resources/BGX.db", databasePath());
        for (const char* name : {"SnapfyreInstaller.dmg", "Qlorvex Mac Booster.app"})
            testsupport::plantFile(homeFolder() / "Partial" / name);
        ASSERT_TRUE(appGroupDefaults()->setObject(
            SettingsKey::ignoreAllPaths, platform::Array{(homeFolder() / "Downloads/SnapfyreInstaller.dmg").string()}));
        ASSERT_TRUE(appGroupDefaults()->setBool(SettingsKey::isActiveProtectionEnabled, true));
        const std::string suite = appGroupDefaults()->plistPath();
        ASSERT_EQ(::chown(suite.c_str(), 65534, 65534), 0);
        fs::permissions(suite, each.mode);
        const std::vector<std::string> withoutOverride{"--bounding-set=-dac_override,-dac_read_search", "--",
                                                       agentExecutable};
        auto agent = ::geteuid() == 0
            ? platform::ToolProcess::launch(setpriv, withoutOverride, platform::ToolProcess::Capture::Nothing)
            : platform::ToolProcess::launch(agentExecutable, {}, platform::ToolProcess::Capture::Nothing);
        ASSERT_TRUE(agent);
        EXPECT_TRUE(renameInUntilAlerted()) << "its watcher runs";
        if (each.givenBack) {
            ASSERT_EQ(::chown(suite.c_str(), ::geteuid(), ::getegid()), 0);
        }
        fs::rename(homeFolder() / "Partial/SnapfyreInstaller.dmg", homeFolder() / "Downloads/SnapfyreInstaller.dmg");
        EXPECT_TRUE(renameInUntilAlerted({"OrlundoInstaller.dmg", "Qlorvex Mac Booster.app"}))
            << "the ignored download raises nothing";
        ::kill(agent->pid(), SIGKILL);
        agent->waitForExit();
        TearDown();
    }
}

} // namespace
