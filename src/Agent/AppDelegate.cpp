#include "Agent/AppDelegate.h"

#include "Agent/AlertedDownloads.h"
#include "Detection/DatabaseManager.h"
#include "Detection/DatabaseManagerReader.h"
#include "Detection/SharedLists.h"
#include "Detection/UpdateDatabase.h"
#include "Foundation/PresentationSlots.h"
#include "Foundation/Reachability.h"
#include "Foundation/TextTable.h"
#include "Foundation/UserPaths.h"
#include "Platform/Root/PlatformRoot.h"

namespace {

using namespace std::chrono_literals;

constexpr auto loginItemsPollInterval = 5s;

// The watched folders, in order, as host paths.
std::vector<std::string> launchAgentFolderPaths()
{
    return {userPath("/Library/LaunchAgents/"), platform::hostPath("/Library/LaunchAgents/"),
            platform::hostPath("/Library/LaunchDaemons/")};
}

std::vector<std::string> downloadsPaths()
{
    return {userPath("/Downloads/"), platform::hostPath("/Applications"), userPath("/Desktop"), userPath("/Documents")};
}

std::vector<std::string> crashReportPaths()
{
    return {userPath("/Library/Logs/DiagnosticReports"), platform::hostPath("/Library/Logs/DiagnosticReports")};
}

std::unique_ptr<FileWatcher> startWatcher(std::vector<std::string> paths, FileWatcher::Callback handler)
{
    auto watcher = std::make_unique<FileWatcher>(std::move(paths));
    watcher->callback = std::move(handler);
    watcher->start();
    return watcher;
}

} // namespace

AppDelegate::AppDelegate()
    : alertWindows_(std::make_shared<AlertWindows>()),
      startupItemTriage_(std::make_shared<StartupItemTriage>(alertWindows_)),
      downloadTriage_(alertWindows_),
      crashReportTriage_(alertWindows_)
{
}

AppDelegate::~AppDelegate()
{
    stopAgent();
}

void AppDelegate::startAgent()
{
    if (!languageTable())
        languageTable() = readBundlePlist("English");
    loadMalwareRecordsInBackground([triage = downloadTriage_, waiting = takeAlertedDownloadPaths()] {
        triage.offerAgain(waiting);
    });
    // Watching first: what arrives while the snapshots are read waits for the event loop.
    watchLaunchAgentFolders();
    watchDownloads();
    watchCrashReports();
    startupItemTriage_->takeSnapshots();
    updateDefinitionsInBackground();
    loginItemsWatchTimer = std::make_unique<platform::dispatch::RepeatingTimer>(loginItemsPollInterval,
                                                                                [this] { pollLoginItems(); });
}

void AppDelegate::stopAgent()
{
    loginItemsWatchTimer.reset();
    fileWatcherStartupItem.reset();
    fileWatcherDownloads.reset();
    fileWatcherCrashes.reset();
    startupItemTriage_->stop();
}

void AppDelegate::updateDefinitionsInBackground()
{
    platform::dispatch::asyncGlobal([] {
        if (!Reachability::isConnectedToNetwork())
            return;
        const double installed = DatabaseManager::shared().getVersion(databasePath());
        UpdateDatabase::shared().checkForUpdates(installed, [](bool isNewer, auto, auto) {
            if (isNewer)
                UpdateDatabase::shared().downloadDatabase(definitionsInstalled);
        });
    });
}

void AppDelegate::definitionsInstalled(bool installed)
{
    if (installed)
        platform::dispatch::asyncMain([] { loadMalwareRecordsInBackground(); });
}

void AppDelegate::loadMalwareRecordsInBackground(std::function<void()> loaded)
{
    platform::dispatch::asyncGlobal([loaded = std::move(loaded)] {
        auto records = DatabaseManagerReader::shared().loadInstalledMalwareList();
        const bool any = records && !records->empty();
        malwareRecords().replace(std::move(records).value_or(std::vector<MalwareList>{}));
        if (any && loaded)
            platform::dispatch::asyncMain(loaded);
    });
}

void AppDelegate::watchLaunchAgentFolders()
{
    fileWatcherStartupItem = startWatcher(launchAgentFolderPaths(), [triage = startupItemTriage_](const auto& event) {
        triage->launchAgentFolderEvent(event);
    });
}

void AppDelegate::watchDownloads()
{
    fileWatcherDownloads = startWatcher(downloadsPaths(),
                                        [triage = downloadTriage_](const auto& event) { triage.downloadEvent(event); });
}

void AppDelegate::watchCrashReports()
{
    fileWatcherCrashes = startWatcher(
        crashReportPaths(), [triage = crashReportTriage_](const auto& event) { triage.crashReportEvent(event); });
}

void AppDelegate::pollLoginItems()
{
    startupItemTriage_->pollLoginItems();
}
