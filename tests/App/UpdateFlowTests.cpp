#include "AppShellTest.h"
#include "DesktopSession.h"

#include "App/AppDelegate.h"
#include "Foundation/Settings.h"
#include "Platform/Tools/ToolProcess.h"
#include "Platform/Root/PlatformRoot.h"
#include "Platform/Values/PropertyList.h"
#include "RealUser.h"
#include "TestAnew.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <fstream>
#include <optional>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// The application's updater is set up once a process, and an installed update ends
// the application: each flow runs in a process of its own.
using UpdateFlow = AppShellTest;

TEST_F(UpdateFlow, AutomaticInstallDownloadsTheNewReleaseAndSchedulesTheRelaunch)
{
    if (!testsupport::inProcessOfItsOwn())
        return;
    publishSmallRelease();
    AppDelegate& delegate = AppDelegate::shared();
    delegate.setUpUpdates();
    ASSERT_TRUE(delegate.updater);
    EXPECT_FALSE(delegate.updater->automaticallyChecksForUpdates());
    testing::internal::CaptureStdout();
    delegate.autoInstallUpdates();
    EXPECT_EQ(delegate.updater->delegate(), &delegate);
    ASSERT_TRUE(waitUntil([&] { return !delegate.updater->downloadedBundlePath().empty(); }));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "download hoga\ndownload hua\n");
    EXPECT_TRUE(delegate.updater->installUpdatesIfAvailable());
    EXPECT_EQ(platform::Bundle(bundle.string()).objectForInfoDictionaryKey("CFBundleVersion")->asText()[0], std::string("2.0"));
}

// A downloaded release that fails to install is said in one line and ends nothing: no
// relaunch is started.
TEST_F(UpdateFlow, AFailedInstallStartsNoRelaunch)
{
    if (!testsupport::inProcessOfItsOwn())
        return;
    publishSmallRelease();
    AppDelegate& delegate = AppDelegate::shared();
    delegate.setUpUpdates();
    delegate.autoInstallUpdates();
    ASSERT_TRUE(waitUntil([&] { return !delegate.updater->downloadedBundlePath().empty(); }));
    const fs::path release = delegate.updater->downloadedBundlePath();
    fs::remove(platform::Bundle(release.string()).executablePath()); // no sound bundle any more
    const fs::path stubs = testsupport::platformRootFolder() / "stubs";
    const fs::path relaunched = stubs / "relaunched";
    testsupport::plantFile(stubs / "sleep", "#!/bin/sh\ntouch '" + relaunched.string() + "'\n");
    fs::permissions(stubs / "sleep", fs::perms::owner_all);
    const std::string pathBefore = std::getenv("PATH");
    ::setenv("PATH", (stubs.string() + ":" + pathBefore).c_str(), 1);

    testing::internal::CaptureStdout();
    delegate.callTerminate();
    const std::string printed = testing::internal::GetCapturedStdout();
    std::this_thread::sleep_for(500ms); // a relaunch shell would have run its first step by now
    ::setenv("PATH", pathBefore.c_str(), 1);
    EXPECT_EQ(printed, "The update was not installed: its executable is missing, a link or not executable.\n");
    EXPECT_FALSE(fs::exists(relaunched));
    EXPECT_NE(*platform::Bundle(bundle.string()).objectForInfoDictionaryKey("CFBundleVersion")->asText(), "2.0");
}

TEST_F(UpdateFlow, CheckOnlyFindsTheReleaseWithoutDownloading)
{
    if (!testsupport::inProcessOfItsOwn())
        return;
    publishSmallRelease();
    AppDelegate& delegate = AppDelegate::shared();
    delegate.setUpUpdates();
    delegate.updater->setDelegate(nullptr); // the process's one updater may have one from an earlier check
    delegate.checkForUpdate();
    EXPECT_TRUE(delegate.updater->automaticallyChecksForUpdates());
    EXPECT_EQ(delegate.updater->delegate(), nullptr);
    ASSERT_TRUE(waitUntil([&] { return !delegate.updater->updateInProgress(); }));
    ASSERT_TRUE(delegate.updater->foundUpdate());
    EXPECT_TRUE(delegate.updater->downloadedBundlePath().empty());
}

// Whether the process has ended (gone, or a zombie not yet reaped).
bool hasEnded(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return true;
    const auto state = line.rfind(") ");
    return state == std::string::npos || line.at(state + 2) == 'Z';
}

// An application an administrator installed (root's, in a folder of root's), run by a
// real user on a system with no way to ask for an administrator's rights, with
// automatic updates on: the launch's check says in one line that the release can only
// be installed by an administrator, downloads nothing and never quits for it.
TEST_F(UpdateFlow, AnApplicationNobodyHereCanReplaceNeitherDownloadsNorQuits)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "playing a user takes root";
    publishSmallRelease();
    standardDefaults().setBool(SettingsKey::firstRun, false); // the check comes 5 seconds after launch
    standardDefaults().setBool(SettingsKey::automaticallyUpdateBG, true);
    fs::permissions(testsupport::platformRootFolder(), fs::perms(0755)); // others may enter, as "/"
    testsupport::RealUserThread::giveToUser(testsupport::homeFolder());
    // A copy of its own: work that earlier tests of this process left queued acts on the main bundle.
    const fs::path installed = testsupport::underRoot("/Applications/Installed By An Administrator.app");
    fs::copy(bundle, installed, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    const fs::path log = testsupport::homeFolder() / "application.log";
    auto application = platform::ToolProcess::launch(
        "/bin/sh",
        {"-c",
         "exec setpriv --reuid=65534 --regid=65534 --clear-groups env PLATFORM_USER=\"$2\" "
         "BG_TEST_ELEVATION_TOOL=\"$3\" BG_NETWORK_REACHABLE=0 \"$0\" > \"$1\" 2>&1",
         (installed / "Contents/MacOS/Bastion Guardpoint").string(), log.string(), platform::userName(),
         (testsupport::platformRootFolder() / "no-pkexec").string()},
        platform::ToolProcess::Capture::Nothing);
    ASSERT_TRUE(application);
    const std::string line = "Version 2.0 can only be installed by an administrator.\n";
    const bool said = platform::dispatch::runMainLoopUntil(
        [&] { return testsupport::readFileText(log).find(line) != std::string::npos; }, 30s);
    // A downloaded release would have ended it 5 seconds later.
    const bool ended = platform::dispatch::runMainLoopUntil([&] { return hasEnded(application->pid()); }, 8s);
    ::kill(application->pid(), SIGKILL);
    application->waitForExit();
    testsupport::endSessionProcesses(); // the agent it started, as the user
    fs::permissions(testsupport::platformRootFolder(), fs::perms::owner_all);
    const std::string printed = testsupport::readFileText(log);
    EXPECT_TRUE(said) << printed;
    EXPECT_FALSE(ended) << printed;
    EXPECT_EQ(printed.find("download"), std::string::npos) << printed;
    EXPECT_EQ(printed.find(line), printed.rfind(line)) << "one check: " << printed;
}

// The relaunch command hands the bundle's path to "open" as one argument, whatever it
// holds, once the application's instance lock is free.
TEST_F(UpdateFlow, RelaunchPassesTheBundlePathUntouched)
{
    const fs::path stubs = testsupport::platformRootFolder() / "stubs";
    fs::create_directories(stubs);
    const fs::path opened = stubs / "opened";
    std::ofstream(stubs / "open") << "#!/bin/sh\nprintf '%s' \"$*\" > '" << opened.string() << "'\n";
    std::ofstream(stubs / "sleep") << "#!/bin/sh\nexit 0\n";
    for (const char* stub : {"open", "sleep"})
        fs::permissions(stubs / stub, fs::perms::owner_all);
    const std::string path = testsupport::platformRootFolder().string() + "/Odd \"$(touch pwned)\" `x`; $HOME.app";
    const std::string lock = testsupport::platformRootFolder().string() + "/Odd $(touch pwned).lock";

    const std::vector<std::string> arguments = relaunchArguments(path, lock);
    ASSERT_EQ(arguments.size(), 5u);
    EXPECT_EQ(arguments[1], "sleep 4; flock -w 60 \"$2\" true; open \"$1\"");
    ::setenv("PATH", (stubs.string() + ":" + std::getenv("PATH")).c_str(), 1);
    auto shell = platform::ToolProcess::launch("/bin/sh", arguments, platform::ToolProcess::Capture::Nothing);
    ASSERT_TRUE(shell);
    EXPECT_EQ(shell->waitForExit(), 0);
    EXPECT_EQ(testsupport::readFileText(opened), path);
    EXPECT_FALSE(fs::exists("pwned"));
}

// How a session ends the application: a signal to it, or its display going away.
struct SessionEnd {
    const char* name;
    int signalNumber;  // sent to the application; 0: the display server is ended instead
    int expectedExit;  // Qt ends a program that lost its display with exit status 1
};

void PrintTo(const SessionEnd& end, std::ostream* stream)
{
    *stream << end.name;
}

class SessionEndFlow : public UpdateFlow, public testing::WithParamInterface<SessionEnd> {};

// A logout or a session stop ends the application with SIGTERM or SIGHUP, or takes
// its display away: the release it has downloaded is installed on the way out.
TEST_P(SessionEndFlow, TheDownloadedReleaseIsInstalled)
{
    const SessionEnd& end = GetParam();
    std::optional<platform::ToolProcess> display;
    std::string displayNumber;
    if (end.signalNumber == 0) {
        // A display server of its own, on a free display it names once it is ready.
        display = platform::ToolProcess::launch("/usr/bin/Xvfb", {"-displayfd", "1", "-nolisten", "tcp"},
                                                platform::ToolProcess::Capture::Output);
        if (!display)
            GTEST_SKIP() << "no Xvfb";
        display->readOutput([&](std::string_view chunk) {
            displayNumber.append(chunk);
            return displayNumber.find('\n') == std::string::npos;
        });
        displayNumber.erase(displayNumber.find_last_not_of('\n') + 1);
        if (displayNumber.empty()) {
            ::kill(display->pid(), SIGKILL);
            FAIL() << "Xvfb named no display";
        }
    }
    publishSmallRelease();
    standardDefaults().setBool(SettingsKey::firstRun, false); // the release is fetched 5 seconds after launch
    const fs::path log = testsupport::platformRootFolder() / "application.log";
    const std::string platformPlugin = display ? "QT_QPA_PLATFORM=xcb DISPLAY=:" + displayNumber : "";
    auto application = platform::ToolProcess::launch(
        "/bin/sh",
        {"-c", "exec env BG_NETWORK_REACHABLE=0 $2 \"$0\" > \"$1\" 2>&1",
         (bundle / "Contents/MacOS/Bastion Guardpoint").string(), log.string(), platformPlugin},
        platform::ToolProcess::Capture::Nothing);
    ASSERT_TRUE(application);
    // The relaunch it schedules comes 5 seconds after the download: the end is first.
    const bool downloaded = platform::dispatch::runMainLoopUntil(
        [&] { return testsupport::readFileText(log).find("download hua\n") != std::string::npos; }, 30s);
    if (!downloaded)
        ::kill(application->pid(), SIGKILL);
    else if (display)
        ::kill(display->pid(), SIGKILL);
    else
        ::kill(application->pid(), end.signalNumber);
    const int status = application->waitForExit();
    if (display) {
        ::kill(display->pid(), SIGKILL);
        display->waitForExit();
    }
    ASSERT_TRUE(downloaded) << testsupport::readFileText(log);
    EXPECT_EQ(status, end.expectedExit) << testsupport::readFileText(log);
    EXPECT_EQ(*platform::Bundle(bundle.string()).objectForInfoDictionaryKey("CFBundleVersion")->asText(), "2.0");
}

INSTANTIATE_TEST_SUITE_P(UpdateFlow, SessionEndFlow,
                         testing::Values(SessionEnd{"SIGTERM", SIGTERM, 0}, SessionEnd{"SIGHUP", SIGHUP, 0},
                                         SessionEnd{"DisplayGone", 0, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
