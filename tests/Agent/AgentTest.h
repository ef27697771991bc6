#pragma once

#include "Agent/AppDelegate.h"
#include "TestRoot.h"
#include "WidgetTestSupport.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

// A platform root with the user's folders (crash-report folders included), the
// shipped signature database installed, the agent's bundle as the main bundle, the
// network taken as unreachable (the widget test support makes the Qt application).
class AgentTest : public testsupport::PlatformRootTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the agent and waits until its records are loaded.
    AppDelegate& startAgent();

    // Pumps the main queue until the recorder holds `count` posts (false after 10 s).
    static bool waitForPosts(const widgettest::NotificationRecorder& recorder, std::size_t count);
    // Pumps the main queue for a while, for what should not happen.
    static void settle(std::chrono::milliseconds time = std::chrono::milliseconds(300));

    // A file written elsewhere and renamed into `folder` under `name`, as browsers do.
    static std::filesystem::path renameInto(const std::filesystem::path& folder, const std::string& name);

    static void setSuiteValue(const char* key, const platform::Value& value);

    std::unique_ptr<AppDelegate> delegate;
};
