#include "AgentTest.h"

#include "Detection/SharedLists.h"
#include "Foundation/Settings.h"
#include "Foundation/UserPaths.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Reachability/NetworkReachability.h"

namespace fs = std::filesystem;

void AgentTest::SetUp()
{
    PlatformRootTest::SetUp();
    platform::Bundle::setMainBundlePath(BG_AGENT_BUNDLE);
    platform::forceReachabilityFlags(platform::ReachabilityFlags{});
    malwareRecords().clear();
    fs::create_directories(testsupport::homeFolder() / "Library/Logs/DiagnosticReports");
    fs::create_directories(testsupport::underRoot("/Library/Logs/DiagnosticReports"));
    fs::create_directories(fs::path(databasePath()).parent_path());
    fs::copy_file(fs::path(BG_APP_BUNDLE) / "Contents/Resources/BGX.db", databasePath());
}

void AgentTest::TearDown()
{
    delegate.reset();
    platform::clearReachabilityOverride();
}

AppDelegate& AgentTest::startAgent()
{
    delegate = std::make_unique<AppDelegate>();
    delegate->startAgent();
    EXPECT_TRUE(platform::dispatch::runMainLoopUntil([] { return !malwareRecords().empty(); }, std::chrono::seconds(10)))
        << "the records load";
    return *delegate;
}

bool AgentTest::waitForPosts(const widgettest::NotificationRecorder& recorder, std::size_t count)
{
    return platform::dispatch::runMainLoopUntil([&] { return recorder.received().size() >= count; },
                                                std::chrono::seconds(10));
}

void AgentTest::settle(std::chrono::milliseconds time)
{
    platform::dispatch::runMainLoopFor(time);
}

fs::path AgentTest::renameInto(const fs::path& folder, const std::string& name)
{
    const auto partial = testsupport::plantFile(testsupport::homeFolder() / ".partial" / name, "download");
    fs::create_directories(folder);
    fs::rename(partial, folder / name);
    return folder / name;
}

void AgentTest::setSuiteValue(const char* key, const platform::Value& value)
{
    appGroupDefaults()->setObject(key, value);
}
