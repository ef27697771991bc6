// Application updates through the updater, the launch-time definitions job and the
// relaunch after a downloaded update.
#include "App/AppDelegate.h"
#include "Detection/DatabaseManager.h"
#include "Detection/UpdateDatabase.h"
#include "Foundation/InstanceLock.h"
#include "Foundation/Reachability.h"
#include "Foundation/Settings.h"
#include "Foundation/UserPaths.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Notifications/NotificationCenter.h"
#include "Platform/Tools/ToolProcess.h"

#include <QApplication>

#include <iostream>

namespace K = SettingsKey;
using namespace std::chrono_literals;

namespace {

constexpr auto relaunchDelay = 5s;

void storeVersion(const char* key, std::optional<double> version)
{
    if (version)
        standardDefaults().setDouble(key, *version);
    else
        standardDefaults().removeObject(key);
}

void recordDefinitionsState(bool isNewer, std::optional<double> installedVersion, std::optional<double> serverVersion)
{
    standardDefaults().setBool(K::isDefinitionsAreUpToDate, !isNewer);
    storeVersion(K::definitionsNewVersion, serverVersion);
    storeVersion(K::definitionsOldVersion, installedVersion);
    platform::dispatch::asyncMain(
        [] { platform::NotificationCenter::defaultCenter().post("UpdateAGSQStatusAndDefinitionsBGX"); });
}

// Full update: a newer database on the server is downloaded and installed.
void updateDefinitions()
{
    if (!Reachability::isConnectedToNetwork())
        return;
    UpdateDatabase::shared().checkForUpdates(
        DatabaseManager::shared().getVersion(databasePath()),
        [](bool isNewer, std::optional<double>, std::optional<double>) {
            if (isNewer)
                UpdateDatabase::shared().downloadAndInstallDatabase();
        });
}

// Compare only: the result is recorded for the Overview screen.
void compareDefinitions()
{
    if (!Reachability::isConnectedToNetwork()) {
        recordDefinitionsState(false, std::nullopt, std::nullopt);
        return;
    }
    UpdateDatabase::shared().checkForUpdates(DatabaseManager::shared().getVersion(databasePath()),
                                             recordDefinitionsState);
}

} // namespace

std::vector<std::string> relaunchArguments(const std::string& bundlePath, const std::string& instanceLockPath)
{
    return {"-c", "sleep 4; flock -w 60 \"$2\" true; open \"$1\"", "sh", bundlePath, instanceLockPath};
}

void AppDelegate::setUpUpdates()
{
    updater = platform::SUUpdater::initForBundle(platform::Bundle::main());
    if (updater) {
        updater->setAutomaticallyChecksForUpdates(false);
        updater->setAutomaticallyDownloadsUpdates(false);
    }
    startDefinitionsJob();
}

void AppDelegate::startDefinitionsJob()
{
    const std::optional<bool> automatic = standardDefaults().boolean(K::automaticallyUpdateDefinitions);
    if (!automatic)
        return;
    platform::dispatch::asyncGlobal([full = *automatic] {
        try {
            full ? updateDefinitions() : compareDefinitions();
        } catch (const std::exception& error) {
            std::cout << error.what() << std::endl;
        }
    });
}

void AppDelegate::checkForUpdate()
{
    if (!updater)
        return;
    updater->setAutomaticallyChecksForUpdates(true);
    updater->checkForUpdatesInBackground();
}

void AppDelegate::autoInstallUpdates()
{
    if (!updater)
        return;
    updater->setDelegate(this);
    updater->setAutomaticallyChecksForUpdates(true);
    updater->setAutomaticallyDownloadsUpdates(true);
    updater->checkForUpdatesInBackground();
}

void AppDelegate::updaterWillDownloadUpdate(platform::SUUpdater&, const platform::SUAppcastItem&, const std::string&)
{
    std::cout << "download hoga" << std::endl;
}

void AppDelegate::updaterDidDownloadUpdate(platform::SUUpdater&, const platform::SUAppcastItem&)
{
    platform::dispatch::asyncAfter(relaunchDelay, [this] { callTerminate(); });
    std::cout << "download hua" << std::endl;
}

// A downloaded release is installed first: one that fails (said in one line by the
// updater) leaves the application running, with no relaunch. The shell outlives the
// application, waits 4 seconds and for the application's end (a quit may wait for
// transfers under way) and opens the bundle again, by then replaced.
void AppDelegate::callTerminate()
{
    if (updater && !updater->downloadedBundlePath().empty() && !updater->installUpdatesIfAvailable())
        return;
    const auto arguments = relaunchArguments(platform::Bundle::main().bundlePath(), applicationInstanceLockPath());
    if (auto shell = platform::ToolProcess::launch("/bin/sh", arguments, platform::ToolProcess::Capture::Nothing))
        shell->reapInBackground();
    QApplication::quit();
}
