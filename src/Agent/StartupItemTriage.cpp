#include "Agent/StartupItemTriage.h"

#include "Agent/AlertNotifications.h"
#include "Foundation/ProtectionSwitch.h"
#include "Foundation/Settings.h"
#include "Startup/StartupItemLists.h"

#include <thread>

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
    if (snapshot.size() > launchAgents_.size())
        if (const auto difference = symmetricDifference(snapshot, launchAgents_); !difference.empty())
            raiseAlertOnMainQueue(alerts_, AlertKind::startupItem,
                                  startupItemPayload(difference.front(), StartupType::launchAgent));
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
    launchAgentQueue_.cancelAndWait();
    loginItemsQueue_.cancelAndWait();
    isLoginItemsWatching_ = false;          // a poll dropped unbegun never cleared it
    isLaunchAgentComparisonQueued_ = false; // nor did a comparison dropped unbegun
}

void StartupItemTriage::compareLoginItems()
{
    std::this_thread::sleep_for(pollDelay);
    auto snapshot = loginItemSnapshot();
    if (snapshot.size() > loginItems_.size())
        if (const auto difference = symmetricDifference(snapshot, loginItems_);
            !difference.empty() && isAlertedAfterReEnable(difference.front(), now_()))
            raiseAlertOnMainQueue(alerts_, AlertKind::startupItem,
                                  startupItemPayload(difference.front(), StartupType::loginItem));
    loginItems_ = std::move(snapshot);
    isLoginItemsWatching_ = false;
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
