// The application's side of the link with the agent: its two distributed
// notifications and the click dates it leaves in the suite.
#include "App/AgentIdentity.h"
#include "App/AllViewControllers.h"
#include "App/AppDelegate.h"
#include "App/BusyState.h"
#include "Foundation/IndexVocabularies.h"
#include "Controls/AgentNotificationNames.h"
#include "Foundation/Settings.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Notifications/NotificationCenter.h"

namespace K = SettingsKey;
using namespace std::chrono_literals;

namespace {

constexpr auto crashScanDelay = 1s;
constexpr std::int64_t clickFreshSeconds = 19;

// A click date in the suite at most 19 whole seconds old (or later than now).
bool isFreshClick(const char* key)
{
    platform::UserDefaults* suite = appGroupDefaults();
    const std::optional<platform::Date> clicked = suite ? suite->date(key) : std::nullopt;
    if (!clicked)
        return false;
    const auto age = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now() - *clicked);
    return age.count() <= clickFreshSeconds;
}

} // namespace

void AppDelegate::observeAgent()
{
    auto& center = platform::DistributedNotificationCenter::defaultCenter();
    agentObservers_.clear(); // observed again: each request is still acted on once
    agentObservers_.push_back(center.addObserver(observeAGSQNotificationName, agentBundleIdentifier,
                                                 [this](const std::string&, const std::string&) { observerAGSQ(); }));
    agentObservers_.push_back(center.addObserver(observeAGSQCrashReportNotificationName, agentBundleIdentifier,
                                                 [this](const std::string&, const std::string&) { observerAGSQCrashes(); }));
    if (isFreshClick(K::clickedManageAppDateAGSQ))
        showStartupItemsFromAgent();
    if (isFreshClick(K::clickedCrashesDateAGSQ))
        observerAGSQCrashes();
}

void AppDelegate::observerAGSQ()
{
    showStartupItemsFromAgent();
}

void AppDelegate::observerAGSQCrashes()
{
    platform::dispatch::asyncAfter(crashScanDelay, [this] { scanRunningFromCrashes(); });
}

void AppDelegate::showStartupItemsFromAgent()
{
    if (!AllViewControllers::hasInitialWindowController()) {
        startupItemsRequested_ = true; // acted on once the main window exists
        return;
    }
    if (isScanOrCleanBusy())
        return;
    auto& center = platform::NotificationCenter::defaultCenter();
    center.post("MenuSelectionBGX", {{menuKey, Menu::startupManager}});
    center.post("ReloadStartupItemsBGX");
}

void AppDelegate::scanRunningFromCrashes()
{
    if (!isScanOrCleanBusy())
        startScan();
}
