#include "AgentTest.h"

#include "Agent/AlertNotifications.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Values/PropertyList.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace fs = std::filesystem;
using testsupport::homeFolder;

namespace {

using AgentStartTest = AgentTest;

// A fresh account often lacks these folders: they are watched once they appear.
TEST_F(AgentStartTest, WatchedFoldersMadeAfterStartAreWatched)
{
    fs::remove_all(homeFolder() / "Library/Logs");
    fs::remove_all(homeFolder() / "Library/LaunchAgents");
    widgettest::NotificationRecorder crashes(AlertNotification::newCrashReport);
    widgettest::NotificationRecorder startupItems(AlertNotification::newStartupItem);
    startAgent();

    const auto report =
        testsupport::plantFile(homeFolder() / "Library/Logs/DiagnosticReports/Tool_2026-03-04-101112_host.crash");
    // The folder's own appearance may come first; the report follows.
    const auto reported = [&] {
        return std::any_of(crashes.received().begin(), crashes.received().end(), [&](const auto& post) {
            return *post.template value<std::string>(AlertKey::crashReport) == report.string();
        });
    };
    EXPECT_TRUE(platform::dispatch::runMainLoopUntil(reported, std::chrono::seconds(10)));

    fs::create_directories(homeFolder() / "Library/LaunchAgents");
    const platform::Value plist(platform::Dictionary{{"Label", "com.example.late"}, {"Program", "/bin/true"}});
    ASSERT_TRUE(platform::writePropertyListFile((homeFolder() / "Library/LaunchAgents/com.example.late.plist").string(), plist));
    ASSERT_TRUE(waitForPosts(startupItems, 1));
}

} // namespace
