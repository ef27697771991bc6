#include "AppShellTest.h"

#include "App/AppDelegate.h"
#include "Foundation/Settings.h"
#include "Platform/Tools/ToolProcess.h"
#include "Platform/Values/PropertyList.h"
#include "TestAnew.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <fstream>
#include <optional>

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

TEST_F(UpdateFlow, CheckOnlyFindsTheReleaseWithoutDownloading)
{
    if (!testsupport::inProcessOfItsOwn())
        return;
    publishSmallRelease();
    AppDelegate& delegate = AppDelegate::shared();
    delegate.setUpUpdates();
    delegate.checkForUpdate();
    EXPECT_TRUE(delegate.updater->automaticallyChecksForUpdates());
    EXPECT_EQ(delegate.updater->delegate(), nullptr);
    ASSERT_TRUE(waitUntil([&] { return !delegate.updater->updateInProgress(); }));
    ASSERT_TRUE(delegate.updater->foundUpdate());
    EXPECT_TRUE(delegate.updater->downloadedBundlePath().empty());
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
