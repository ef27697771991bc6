#pragma once

#include "LoopbackServer.h"
#include "Platform/Launchd/LaunchdTestFixture.h"

#include <QApplication>

#include <atomic>
#include <chrono>

#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

// A platform root holding the built application at "/Applications/Bastion Guardpoint.app"
// as the main bundle, its feed, definitions server and analytics pointed at a loopback
// server, the network taken as unreachable, and a Qt application for the windows.
// Ends the main window and its screens, every agent process of the root and every
// launchd job after each test, and gives the process back its main bundle and
// reachability.
class AppShellTest : public testsupport::LaunchdTest {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Rewrites keys of the installed bundle's Info.plist (before the launch reads it).
    void setInfo(const platform::Dictionary& values);

    // Serves "Bastion Guardpoint.app" of `folder`, zipped, as the feed's release of
    // that version, and removes the folder.
    void serveRelease(const std::filesystem::path& folder, const std::string& version);
    // Serves a release 2.0 of the application: a bundle of the installed one's
    // Info.plist with its version raised and a small stand-in executable (the whole
    // bundle would make the archive large).
    void publishSmallRelease();

    // The analytics hits received so far ("category/action").
    std::vector<std::string> analyticsEvents();
    bool waitForAnalyticsEvents(std::size_t count);

    // The PIDs of the agent processes running from the root.
    static std::vector<pid_t> runningAgents();
    // Waits until the running agents satisfy `condition`; launchd restarts a job that
    // has exited only after its throttle interval.
    static bool waitForAgent(const std::function<bool(const std::vector<pid_t>&)>& condition);

    std::filesystem::path bundle;
    // How long the analytics endpoint holds each hit before it answers (the test's end
    // cuts it short).
    std::atomic<std::chrono::milliseconds> analyticsAnswerDelay{std::chrono::milliseconds(0)};
    LoopbackServer server;
    std::string appcast;
    std::string archive;

private:
    std::atomic<bool> ending_ = false;
    std::mutex mutex_;
    std::vector<std::string> events_;
    std::string mainBundleBefore_;
};
