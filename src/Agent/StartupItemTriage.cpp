#include "Agent/StartupItemTriage.h"

#include "Agent/AlertNotifications.h"
#include "Agent/ApplicationHandOver.h"
#include "Foundation/ProtectionSwitch.h"
#include "Foundation/Settings.h"
#include "Startup/StartupItemLists.h"

#include <algorithm>

namespace {

using namespace std::chrono_literals;

constexpr auto pollDelay = 1s;
constexpr auto reEnableQuietSeconds = 10;

// The item as the alert names it: its application's path, else its name.
template <class Item>
std::string reportedName(const Item& item)
{
    return item.appUrl ? item.appUrl->path() : item.name.value_or("");
}

template <class Item>
platform::UserInfo startupItemPayload(const Item& item, const char* startupType)
{
    return {{AlertKey::newStartupItem, reportedName(item)}, {AlertKey::startupType, std::string(startupType)}};
}

bool isStartupProtectionOff()
{
    return isSwitchedOff(SettingsKey::isStartupProtectionEnabled);
}

// The items of a snapshot that grew which the previous one lacks, in the
// difference's order; none when it did not grow.
template <class Item>
std::vector<Item> addedItems(const std::vector<Item>& snapshot, const std::vector<Item>& previous)
{
    if (snapshot.size() <= previous.size())
        return {};
    auto difference = symmetricDifference(snapshot, previous);
    std::erase_if(difference, [&](const Item& item) { return std::ranges::find(snapshot, item) == snapshot.end(); });
    return difference;
}

// The application and this agent start themselves at login: they are never new
// startup items to alert on, wherever their bundles are.
template <class Item>
bool isProductsOwn(const Item& item)
{
    const auto identifier = item.bundle ? item.bundle->bundleIdentifier() : std::nullopt;
    return identifier && (*identifier == applicationBundleIdentifier ||
                          *identifier == platform::Bundle::main().bundleIdentifier());
}

template <class Item>
void raiseStartupItemAlert(const std::weak_ptr<AlertWindows>& alerts, const Item& item, const char* startupType)
{
    if (!isProductsOwn(item))
        raiseAlertOnMainQueue(alerts, AlertKind::startupItem, startupItemPayload(item, startupType));
}

} // namespace

void StartupItemTriage::takeSnapshots()
{
    launchAgents_ = takeLaunchAgentSnapshot_();
    loginItems_ = loginItemSnapshot();
}

void StartupItemTriage::launchAgentFolderEvent(const FileWatcherEvent& event)
{
    if (isStartupProtectionOff() || event.path.ends_with(".DS_Store") || isLaunchAgentComparisonQueued_.exchange(true))
        return;
    launchAgentQueue_.async([self = shared_from_this()] { self->compareLaunchAgents(); });
}

void StartupItemTriage::compareLaunchAgents()
{
    isLaunchAgentComparisonQueued_ = false; // a later event queues the next comparison
    auto snapshot = takeLaunchAgentSnapshot_();
    for (const LaunchAgent& added : addedItems(snapshot, launchAgents_))
        raiseStartupItemAlert(alerts_, added, StartupType::launchAgent);
    launchAgents_ = std::move(snapshot);
}

void StartupItemTriage::pollLoginItems()
{
    if (isStartupProtectionOff() || isLoginItemsWatching_.exchange(true))
        return;
    loginItemsQueue_.async([self = shared_from_this()] { self->compareLoginItems(); });
}

void StartupItemTriage::stop()
{
    {
        const std::lock_guard lock(stopMutex_);
        isStopped_ = true;
    }
    stopRequested_.notify_all();
    launchAgentQueue_.cancelAndWait();
    loginItemsQueue_.cancelAndWait();
    isLoginItemsWatching_ = false;          // a poll dropped unbegun never cleared it
    isLaunchAgentComparisonQueued_ = false; // nor did a comparison dropped unbegun
}

void StartupItemTriage::compareLoginItems()
{
    if (isStoppedWithin(pollDelay)) {
        isLoginItemsWatching_ = false;
        return;
    }
    auto snapshot = loginItemSnapshot();
    for (const LoginItem& added : addedItems(snapshot, loginItems_))
        if (isAlertedAfterReEnable(added, now_()))
            raiseStartupItemAlert(alerts_, added, StartupType::loginItem);
    loginItems_ = std::move(snapshot);
    isLoginItemsWatching_ = false;
}

bool StartupItemTriage::isStoppedWithin(std::chrono::milliseconds delay)
{
    std::unique_lock lock(stopMutex_);
    return stopRequested_.wait_for(lock, delay, [this] { return isStopped_; });
}

bool isAlertedAfterReEnable(const LoginItem& item, platform::Date now)
{
    platform::UserDefaults* suite = appGroupDefaults();
    if (!suite || !item.appUrl)
        return true;
    const auto path = suite->text(SettingsKey::startupItemEnabledPathAGSQ);
    const auto date = suite->date(SettingsKey::startupItemEnabledDateAGSQ);
    if (!path || !date || *path != item.appUrl->path())
        return true;
    return std::chrono::duration_cast<std::chrono::seconds>(now - *date).count() > reEnableQuietSeconds;
}
