#include "Agent/ApplicationHandOver.h"

#include "Foundation/Settings.h"
#include "Platform/Notifications/DistributedNotificationCenter.h"
#include "Platform/Workspace/Workspace.h"

#include <algorithm>
#include <chrono>

bool handOverToApplication(const char* clickDateKey, const char* notificationName)
{
    if (platform::UserDefaults* suite = appGroupDefaults())
        suite->setObject(clickDateKey, platform::Value(std::chrono::system_clock::now()));
    auto& workspace = platform::Workspace::shared();
    (void)workspace.launchApplication(applicationBundleIdentifier);
    const auto running = workspace.runningApplications();
    const bool runs = std::any_of(running.begin(), running.end(), [](const platform::RunningApplication& application) {
        return application.bundleIdentifier == applicationBundleIdentifier;
    });
    if (runs)
        platform::DistributedNotificationCenter::defaultCenter().post(notificationName, agentNotificationObject);
    return runs;
}
