// The application started as a program, as the user and launchd start it.
#include "AppShellTest.h"
#include "DeceptiveXmlPlists.h"
#include "DesktopSession.h"
#include "RealUser.h"
#include "RootProcesses.h"

#include "App/AgentIdentity.h"
#include "App/AllViewControllers.h"
#include "App/AppDelegate.h"
#include "App/ApplicationInstance.h"
#include "App/InitialWindowController.h"
#include "Foundation/InstanceLock.h"
#include "Foundation/Settings.h"
#include "Foundation/UserPaths.h"
#include "Platform/Launchd/JobRegistry.h"
#include "Platform/Tools/ToolProcess.h"
#include "Platform/Values/PropertyList.h"
#include "Platform/Workspace/ApplicationRegister.h"
#include "Platform/Workspace/ProcessStat.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <map>

namespace fs = std::filesystem;
namespace K = SettingsKey;
using namespace std::chrono_literals;

namespace {

class ApplicationProcess : public AppShellTest {
protected:
    void SetUp() override
    {
        AppShellTest::SetUp();
        ::setenv("BG_NETWORK_REACHABLE", "0", 1);
    }
    void TearDown() override
    {
        for (auto& application : started) {
            ::kill(application.pid(), SIGKILL);
            application.waitForExit();
        }
        for (const auto& application : testsupport::runningCopiesOf("com.tarnwicklabs.bastionguardpoint"))
            ::kill(application.processIdentifier, SIGKILL); // one the application itself relaunched
        ::unsetenv("BG_NETWORK_REACHABLE");
        AppShellTest::TearDown();
    }

    // `through` runs first with its arguments and then the application's path.
    platform::ToolProcess& startApplication(const std::vector<std::string>& through = {})
    {
        const std::string program = (bundle / "Contents/MacOS/Bastion Guardpoint").string();
        std::vector<std::string> arguments(through.begin() + (through.empty() ? 0 : 1), through.end());
        if (!through.empty())
            arguments.push_back(program);
        auto application = platform::ToolProcess::launch(through.empty() ? program : through.front(), arguments,
                                                         platform::ToolProcess::Capture::Nothing);
        EXPECT_TRUE(application);
        return started.emplace_back(std::move(*application));
    }

    static bool hasEnded(pid_t pid) { return !platform::runningProcessStartTime(pid); }

    // A suite file that cannot be read is kept aside before the defaults are written
    // over it, and both programs start.
    void expectASuiteKeptAsideAndBothProgramsStarted(const std::string& unreadable)
    {
        const std::string suite = appGroupDefaults()->plistPath();
        testsupport::plantFile(suite, unreadable);
        startApplication();
        ASSERT_TRUE(waitForAgent([](const auto& agents) { return agents.size() == 1; }));
        EXPECT_EQ(testsupport::readFileText(suite + ".corrupt"), unreadable);
        const auto written = platform::readPropertyListFile(suite);
        ASSERT_TRUE(written);
        EXPECT_EQ(*written->find(K::moveDeletedToTrash), platform::Value(true));
        EXPECT_EQ(runningApplicationCount(), 1u);
    }

    // Started as installed, with the stand-in tools of its bundle (or of `tools`),
    // through `through` as startApplication() has it.
    platform::ToolProcess& startInstalledApplication(const std::string& tools = "",
                                                     const std::vector<std::string>& through = {})
    {
        const std::string buildTools = std::getenv("BG_TOOLS_DIR");
        if (tools.empty())
            ::unsetenv("BG_TOOLS_DIR");
        else
            ::setenv("BG_TOOLS_DIR", tools.c_str(), 1);
        platform::ToolProcess& application = startApplication(through);
        ::setenv("BG_TOOLS_DIR", buildTools.c_str(), 1);
        return application;
    }

    void quit(platform::ToolProcess& application)
    {
        ::kill(application.pid(), SIGTERM);
        application.waitForExit();
        std::erase_if(started, [&](const auto& process) { return &process == &application; });
    }

    void moveBundle(const fs::path& to)
    {
        fs::create_directories(to.parent_path());
        fs::rename(bundle, to);
        bundle = to;
    }

    static std::size_t runningApplicationCount()
    {
        return testsupport::runningCopiesOf("com.tarnwicklabs.bastionguardpoint").size();
    }

    static bool launchctlListsTheAgent()
    {
        auto launchctl =
            platform::ToolProcess::launch("/bin/launchctl", {"list"}, platform::ToolProcess::Capture::Output);
        const std::string table = launchctl ? launchctl->readOutputToEnd() : "";
        return launchctl && launchctl->waitForExit() == 0 &&
               table.find(std::string("\t") + agentBundleIdentifier + "\n") != std::string::npos;
    }

    // The whole installed application, its version raised, as the feed's next release.
    void publishNextRelease()
    {
        const fs::path work = testsupport::platformRootFolder() / "release";
        const fs::path release = work / "Bastion Guardpoint.app";
        fs::create_directories(work);
        fs::copy(bundle, release, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
        const std::string info = (release / "Contents/Info.plist").string();
        platform::Value plist = *platform::readPropertyListFile(info);
        (*plist.asDictionary())["CFBundleVersion"] = "2.0";
        ASSERT_TRUE(platform::writePropertyListFile(info, plist));
        serveRelease(work, "2.0");
    }

    std::vector<platform::ToolProcess> started;
};

// Every file of a folder by its relative path, with its contents.
std::map<std::string, std::string> filesOf(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        files[fs::relative(entry.path(), folder).string()] =
            entry.is_regular_file() ? testsupport::readFileText(entry.path()) : "(folder)";
    return files;
}

TEST_F(ApplicationProcess, TwoStartsAtOnceRunOneApplicationWithOneCompleteAgent)
{
    const pid_t first = startApplication().pid();
    const pid_t second = startApplication().pid();
    ASSERT_TRUE(waitUntil([&] { return hasEnded(first) || hasEnded(second); }));
    platform::ToolProcess& leaving = hasEnded(first) ? started.front() : started.back();
    EXPECT_EQ(leaving.waitForExit(), 0);
    started.erase(started.begin() + (&leaving == &started.front() ? 0 : 1));

    ASSERT_TRUE(waitForAgent([](const auto& agents) { return agents.size() == 1; }));
    platform::dispatch::runMainLoopFor(2s);
    EXPECT_EQ(runningApplicationCount(), 1u);
    EXPECT_EQ(runningAgents().size(), 1u);
    EXPECT_EQ(filesOf(installedAgentPath()), filesOf(bundle / "Contents/Resources/ActiveGuardSentinelWarden.app"));
}

TEST_F(ApplicationProcess, ASecondStartBringsTheRunningApplicationForwardAndLeaves)
{
    const platform::FileLock running = takeApplicationInstanceLock(); // this process plays the running one
    const auto comeForward = comeForwardWhenAsked(AppDelegate::shared());
    QWidget* window = AllViewControllers::initialWindowController().window();
    window->hide();
    EXPECT_EQ(startApplication().waitForExit(), 0);
    started.clear();
    EXPECT_TRUE(waitUntil([&] { return window->isVisible(); }));
    EXPECT_TRUE(runningAgents().empty()) << "the second start changed nothing";
}

// A restart of the session or the machine ends launchd's supervisor of the agent's
// job: the next start of the application brings the agent back.
TEST_F(ApplicationProcess, AfterTheAgentsSupervisorHasEndedTheNextStartBringsTheAgentBack)
{
    platform::ToolProcess& application = startApplication();
    ASSERT_TRUE(waitForAgent([](const auto& agents) { return agents.size() == 1; }));
    const pid_t agent = runningAgents().front();
    ::kill(application.pid(), SIGKILL);
    application.waitForExit();
    started.clear();
    const auto record = platform::launchd::JobRegistry::forDomain(platform::LaunchdDomain::User).read(agentBundleIdentifier);
    ASSERT_TRUE(record && record->supervisorPid);
    ::kill(static_cast<pid_t>(*record->supervisorPid), SIGKILL);
    ASSERT_TRUE(waitUntil([&] { return hasEnded(static_cast<pid_t>(*record->supervisorPid)); }));
    EXPECT_FALSE(launchctlListsTheAgent());

    startApplication();
    ASSERT_TRUE(waitForAgent([&](const auto& agents) { return agents.size() == 1 && agents.front() != agent; }));
    EXPECT_TRUE(launchctlListsTheAgent());
}

// Launch at login off: the application launched once and quit, the bundle moved
// away, the session ended as a logout ends it. At the next login only what the
// autostart folder holds runs: the agent runs again and launchd lists its job, and
// the application does not open.
TEST_F(ApplicationProcess, AtTheNextLoginTheAgentRunsWithoutTheApplication)
{
    standardDefaults().setBool(K::launchAutomatically, false);
    platform::ToolProcess& application = startInstalledApplication();
    ASSERT_TRUE(waitForAgent([](const auto& agents) { return agents.size() == 1; }));
    quit(application);
    moveBundle(testsupport::underRoot("/Applications/Security/Bastion Guardpoint.app"));
    testsupport::endSessionProcesses();
    ASSERT_TRUE(runningAgents().empty());
    ASSERT_FALSE(launchctlListsTheAgent());

    EXPECT_EQ(testsupport::runAutostartEntries(), 1);
    EXPECT_TRUE(waitForAgent([](const auto& agents) { return agents.size() == 1; })) << "the agent runs";
    EXPECT_TRUE(launchctlListsTheAgent());
    platform::dispatch::runMainLoopFor(1s);
    EXPECT_EQ(runningApplicationCount(), 0u) << "the application opens only when it is to launch at login";
}

// Launch at login on: the next login also opens the application, once, as launched
// at login.
TEST_F(ApplicationProcess, AtTheNextLoginTheApplicationOpensOnceAsLaunchedAtLogin)
{
    standardDefaults().setBool(K::launchAutomatically, true);
    platform::ToolProcess& application = startInstalledApplication();
    ASSERT_TRUE(waitForAgent([](const auto& agents) { return agents.size() == 1; }));
    quit(application);
    testsupport::endSessionProcesses();

    testsupport::runAutostartEntries();
    ASSERT_TRUE(platform::dispatch::runMainLoopUntil([] { return runningApplicationCount() == 1; }, 20s));
    EXPECT_TRUE(waitForAgent([](const auto& agents) { return agents.size() == 1; })) << "the agent runs";
    EXPECT_TRUE(waitUntil(launchctlListsTheAgent)) << "once the application has loaded the job anew";
    platform::dispatch::runMainLoopFor(1s);
    const auto opened = testsupport::runningCopiesOf("com.tarnwicklabs.bastionguardpoint");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(testsupport::environmentHolds(opened.front().processIdentifier, "BG_LAUNCH_EVENT=lgit"));
}

// A user who is not root, at a desktop of their own ($HOME, ~/.config): the
// application launched once, launch at login on, a launch agent of the user's
// switched off in launchd. After a logout the session's autostart, run twice (as by
// two desktops), brings back one agent, the user's, and opens the application once;
// the job switched off stays off.
TEST_F(ApplicationProcess, AUsersNextLoginBringsBackOneAgentOfTheUsers)
{
    standardDefaults().setBool(K::launchAutomatically, true);
    const std::string off = "com.example.switched-off";
    ASSERT_TRUE(platform::writePropertyListFile(
        (testsupport::homeFolder() / "Library/LaunchAgents" / (off + ".plist")).string(),
        platform::Dictionary{
            {"Label", off}, {"ProgramArguments", platform::Array{"/bin/sleep", "60"}}, {"RunAtLoad", true}}));
    platform::launchd::JobRegistry::forDomain(platform::LaunchdDomain::User).setDisabledOverride(off, true);
    testsupport::UnprivilegedSession session;
    if (!session.isSet())
        GTEST_SKIP() << "playing a user takes root";
    // The user's applications, as the user's workspace lists them.
    const auto usersCopiesOf = [](const std::string& identifier) {
        const testsupport::RealUserThread user;
        std::vector<pid_t> copies;
        for (const auto& application : testsupport::runningCopiesOf(identifier))
            copies.push_back(application.processIdentifier);
        return copies;
    };
    const auto usersAgents = [&] { return usersCopiesOf(agentBundleIdentifier); };
    const auto usersApplications = [&] { return usersCopiesOf("com.tarnwicklabs.bastionguardpoint"); };

    // The installed agent's copy, told apart by its executable's file.
    const auto installedCopy = [] {
        struct stat status {};
        ::stat((installedAgentPath() + "/Contents/MacOS/ActiveGuardSentinelWarden").c_str(), &status);
        return status.st_ino;
    };

    platform::ToolProcess& application = startInstalledApplication("", session.asUser());
    ASSERT_TRUE(platform::dispatch::runMainLoopUntil([&] { return usersAgents().size() == 1; }, 20s))
        << "the agent runs";
    quit(application);
    testsupport::endSessionProcesses();
    ASSERT_TRUE(usersAgents().empty());
    const auto copyBeforeTheLogin = installedCopy();

    {
        const testsupport::RealUserThread user;
        ASSERT_TRUE(user.isSet());
        EXPECT_EQ(testsupport::runAutostartEntries(), 1);
        EXPECT_EQ(testsupport::runAutostartEntries(), 1); // a second desktop's autostart
    }
    EXPECT_TRUE(platform::dispatch::runMainLoopUntil([&] { return usersApplications().size() == 1; }, 20s));
    // The login step starts the agent while the application it opens replaces it: the
    // agent that runs is the application's fresh copy.
    EXPECT_TRUE(platform::dispatch::runMainLoopUntil([&] { return installedCopy() != copyBeforeTheLogin; }, 20s))
        << "the application replaces the installed agent";
    EXPECT_TRUE(platform::dispatch::runMainLoopUntil([&] { return usersAgents().size() == 1; }, 20s))
        << "the agent runs again";
    platform::dispatch::runMainLoopFor(2s);
    EXPECT_EQ(usersApplications().size(), 1u);
    ASSERT_EQ(usersAgents().size(), 1u);
    EXPECT_EQ(testsupport::UnprivilegedSession::userOf(usersAgents().front()), testsupport::RealUserThread::kUser);
    EXPECT_FALSE(platform::SMJobCopyDictionary(platform::LaunchdDomain::User, off)) << "switched off, it stays off";
}

// The application updates itself: the updater replaces the bundle that launchd's
// supervisor of the agent's job and the tools it runs come from, and the relaunched
// application finds the agent's job still loaded. The agent runs again.
TEST_F(ApplicationProcess, AfterASelfUpdateTheRelaunchedApplicationHasTheAgentRunning)
{
    publishNextRelease();
    standardDefaults().setBool(K::firstRun, false); // not the first run: the launch looks for an update
    const std::string buildTools = std::getenv("BG_TOOLS_DIR");
    ::unsetenv("BG_TOOLS_DIR"); // as installed: the tools beside the application's executable
    const pid_t updating = startApplication().pid();
    ::setenv("BG_TOOLS_DIR", buildTools.c_str(), 1);
    ASSERT_TRUE(waitForAgent([](const auto& agents) { return agents.size() == 1; }));
    const pid_t agent = runningAgents().front();

    // The update is found 5 s after the launch and downloaded; 5 s later the
    // application quits, the update installed as it goes.
    ASSERT_TRUE(platform::dispatch::runMainLoopUntil([&] { return hasEnded(updating); }, 90s));
    const auto info = platform::readPropertyListFile((bundle / "Contents/Info.plist").string());
    ASSERT_TRUE(info);
    EXPECT_EQ(*info->find("CFBundleVersion"), platform::Value("2.0"));

    // 4 s later the new release opens, replaces the agent and loads its job.
    EXPECT_TRUE(platform::dispatch::runMainLoopUntil([] { return runningApplicationCount() == 1; }, 30s));
    EXPECT_TRUE(waitForAgent([&](const auto& agents) { return agents.size() == 1 && agents.front() != agent; }))
        << "the agent runs again";
}

// The user moves the bundle once it has run, into a subfolder, then renames it,
// and launches it from each new place: the agent runs again within its throttle
// interval each time.
TEST_F(ApplicationProcess, TheAgentRunsAfterEachLaunchOfAMovedOrRenamedBundle)
{
    platform::ToolProcess& first = startInstalledApplication();
    ASSERT_TRUE(waitForAgent([](const auto& agents) { return agents.size() == 1; }));
    quit(first);
    for (const auto& [name, place] : {std::pair{"moved into a subfolder", "/Applications/Utilities/Bastion Guardpoint.app"},
                                      std::pair{"renamed", "/Applications/Utilities/Guardpoint.app"}}) {
        const pid_t agent = runningAgents().front();
        moveBundle(testsupport::underRoot(place));
        platform::ToolProcess& moved = startInstalledApplication();
        EXPECT_TRUE(waitForAgent([&](const auto& agents) { return agents.size() == 1 && agents.front() != agent; }))
            << name << ": the agent runs again";
        EXPECT_TRUE(launchctlListsTheAgent()) << name;
        EXPECT_EQ(platform::registeredApplication("com.tarnwicklabs.bastionguardpoint"), bundle.string())
            << name << ": the agent's Manage Now finds it here";
        quit(moved);
        if (::testing::Test::HasFailure())
            return;
    }
}

// Two copies of the application; the one launched last, whose supervisor of the
// agent's job runs the job's tools, is deleted. The agent, ended, is started again
// from the installed agent's own tools.
TEST_F(ApplicationProcess, TheAgentIsRestartedOnceTheCopyThatLoadedItsJobIsDeleted)
{
    const fs::path other = testsupport::homeFolder() / "Applications/Bastion Guardpoint.app";
    fs::create_directories(other.parent_path());
    fs::copy(bundle, other, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    bundle = other;
    platform::ToolProcess& application = startInstalledApplication();
    ASSERT_TRUE(waitForAgent([](const auto& agents) { return agents.size() == 1; }));
    const pid_t agent = runningAgents().front();
    quit(application);
    fs::remove_all(other);

    ::kill(agent, SIGKILL);
    EXPECT_TRUE(waitForAgent([&](const auto& agents) { return agents.size() == 1 && agents.front() != agent; }))
        << "the agent runs again";
    EXPECT_TRUE(launchctlListsTheAgent());
}

// A self-update from an earlier release whose supervisor of the agent's job keeps
// to the folder it started from, which the update removes. The new release is
// launched while that supervisor waits out its throttle interval: the agent runs.
TEST_F(ApplicationProcess, AfterASelfUpdateFromAnEarlierReleaseTheAgentRuns)
{
    const fs::path earlierTools = testsupport::underRoot("/Applications/.earlier-release/MacOS");
    fs::create_directories(earlierTools.parent_path());
    fs::copy(bundle / "Contents/MacOS", earlierTools, fs::copy_options::recursive);
    platform::ToolProcess& earlier = startInstalledApplication(earlierTools.string());
    ASSERT_TRUE(waitForAgent([](const auto& agents) { return agents.size() == 1; }));
    const pid_t agent = runningAgents().front();
    quit(earlier);

    fs::remove_all(earlierTools.parent_path()); // the update replaced the earlier bundle
    startInstalledApplication();
    EXPECT_TRUE(waitForAgent([&](const auto& agents) { return agents.size() == 1 && agents.front() != agent; }))
        << "the agent runs again";
    EXPECT_TRUE(launchctlListsTheAgent());
}

// An analytics hit of the launch is still under way when the updated application
// quits, so the quit waits for it past the relaunch's first 4 s: the new release opens
// once the old process has ended.
TEST_F(ApplicationProcess, AfterAnUpdateTheApplicationReopensWhenItsQuitWaitedForAPost)
{
    publishNextRelease();
    standardDefaults().setBool(K::firstRun, false);
    standardDefaults().setObject(K::lastVersion, std::string("0.1")); // the launch posts "updated"
    analyticsAnswerDelay = 60s;
    const pid_t updating = startApplication().pid();
    ASSERT_TRUE(waitForAnalyticsEvents(1));

    ASSERT_TRUE(platform::dispatch::runMainLoopUntil([&] { return hasEnded(updating); }, 90s));
    ASSERT_EQ(*platform::readPropertyListFile((bundle / "Contents/Info.plist").string())->find("CFBundleVersion"),
              platform::Value("2.0"));
    EXPECT_TRUE(platform::dispatch::runMainLoopUntil([] { return runningApplicationCount() == 1; }, 30s))
        << "the new release runs";
}

TEST_F(ApplicationProcess, ACorruptSuiteIsKeptAsideAndBothProgramsStart)
{
    expectASuiteKeptAsideAndBothProgramsStarted("{ not a property list");
}

// One whose tags hide hundreds of thousands of levels, which the parser's release
// of its tree would overflow the stack on.
TEST_F(ApplicationProcess, ASuiteDeeperThanItsTagsLookIsKeptAsideAndBothProgramsStart)
{
    expectASuiteKeptAsideAndBothProgramsStarted(testsupport::deceptiveXmlPlists().front().bytes);
}

// The application's settings file left to another user (as a run with sudo leaves it,
// mode 0600): the application, started without root's file access override, starts
// and leaves the file as it was, every key in it; nothing is kept aside.
TEST_F(ApplicationProcess, ASettingsFileItCannotOpenIsLeftWholeAndTheApplicationStarts)
{
    const fs::path file = testsupport::homeFolder() / "Library/Preferences/com.tarnwicklabs.bastionguardpoint.plist";
    const platform::Dictionary switchedOff{{"label", "com.example.sync"}};
    const platform::Dictionary settings{{K::launchAutomatically, false}, {K::scanOnAutoLaunch, false},
                                        {K::totalDeceptiveAppsRemovedSoFar, 12}, {K::firstRun, false},
                                        {K::launchAgentsUD, platform::Array{switchedOff}}};
    ASSERT_TRUE(platform::writePropertyListFile(file.string(), platform::Value(settings),
                                                platform::PropertyListFormat::Binary));
    const std::string bytes = testsupport::readFileText(file);
    fs::permissions(file, fs::perms::none);
    const char* const setpriv = "/usr/bin/setpriv";
    if (::geteuid() == 0 && !fs::exists(setpriv))
        GTEST_SKIP() << "no setpriv to start the application without root's file access override";
    const std::vector<std::string> withoutOverride{setpriv, "--bounding-set=-dac_override,-dac_read_search", "--"};
    startApplication(::geteuid() == 0 ? withoutOverride : std::vector<std::string>{});
    ASSERT_TRUE(waitForAgent([](const auto& agents) { return agents.size() == 1; }));
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::none);
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(testsupport::readFileText(file), bytes);
    EXPECT_FALSE(fs::exists(file.string() + ".corrupt"));
}

// The suite left to another user, readable but not writable, the application started
// without root's file access override: the suite is read (the agent's fresh "Scan
// Now" click in it starts a scan, which completes) and is never written over.
TEST_F(ApplicationProcess, ASuiteOfAnotherUserIsReadAndLeftAsItWas)
{
    ASSERT_TRUE(appGroupDefaults()->setObject(K::clickedCrashesDateAGSQ, platform::Date(std::chrono::system_clock::now())));
    const std::string suite = appGroupDefaults()->plistPath();
    const std::string bytes = testsupport::readFileText(suite);
    ASSERT_EQ(::chown(suite.c_str(), 65534, 65534), 0);
    const char* const setpriv = "/usr/bin/setpriv";
    if (::geteuid() == 0 && !fs::exists(setpriv))
        GTEST_SKIP() << "no setpriv to start the application without root's file access override";
    const std::vector<std::string> withoutOverride{setpriv, "--bounding-set=-dac_override,-dac_read_search", "--"};
    startApplication(::geteuid() == 0 ? withoutOverride : std::vector<std::string>{});
    const std::string standard =
        (testsupport::homeFolder() / "Library/Preferences/com.tarnwicklabs.bastionguardpoint.plist").string();
    EXPECT_TRUE(waitUntil([&] {
        const auto stored = platform::readPropertyListFile(standard);
        return stored && stored->find(K::lastScanDate);
    })) << "the click read from the suite started a scan";
    EXPECT_EQ(testsupport::readFileText(suite), bytes);
    EXPECT_FALSE(fs::exists(suite + ".corrupt"));
}

} // namespace
