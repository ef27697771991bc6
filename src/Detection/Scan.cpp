#include "Detection/Scan.h"

#include "Foundation/IndexVocabularies.h"
#include "Detection/DatabaseManager.h"
#include "Detection/ScanProgress.h"
#include "Detection/SharedLists.h"
#include "Detection/UpdateDatabase.h"
#include "Foundation/Analytics.h"
#include "Foundation/Reachability.h"
#include "Foundation/UserPaths.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Notifications/NotificationCenter.h"

#include <chrono>
#include <memory>
#include <thread>

using platform::dispatch::asyncGlobal;
using platform::dispatch::asyncMain;

namespace {

constexpr auto pauseAfterInstall = std::chrono::seconds(1);
std::atomic<std::chrono::milliseconds> definitionsWait = Scan::maximumDefinitionsWait;

void postDefinitionsProgress(double percentage)
{
    postScanProgress(0, "", -1, percentage);
}

} // namespace

Scan& Scan::shared()
{
    static Scan* scan = new Scan; // kept for the life of the process; workers may outlive main()
    return *scan;
}

Scan::Scan() : quickScanPaths(scanRootPaths()) {}

void Scan::startScan()
{
    if (isScanRunning.exchange(true))
        return;
    scanResults().clear();
    // Before either half starts: the walk's posts show this count from half way.
    pIndex = 0;
    // A stop answered after the last scan had ended must not end this one.
    isAborted = false;
    sendAnalyticsEvent("scan", "malware_scanning");
    auto& center = platform::NotificationCenter::defaultCenter();
    center.post("MenuSelectionBGX", {{menuKey, Menu::scan}});
    center.post("ScanViewUpdateBGX", {{menuKey, ScanMenu::scanprocess}});
    asyncGlobal([this] { prepareScan(); });
}

void Scan::setMaximumDefinitionsWaitForTesting(std::chrono::milliseconds wait)
{
    definitionsWait = wait;
}

void Scan::prepareScan()
{
    asyncMain([] { postDefinitionsProgress(0.0); });
    if (!Reachability::isConnectedToNetwork()) {
        asyncMain([this] { runScan(); });
        return;
    }
    // The halves start once: at the end of the definitions step or at its deadline,
    // whichever comes first.
    auto scanWaits = std::make_shared<std::atomic<bool>>(true);
    platform::dispatch::asyncAfter(definitionsWait.load(), [this, scanWaits] {
        if (scanWaits->exchange(false))
            runScan();
    });
    const double installed = DatabaseManager::shared().getVersion(databasePath());
    UpdateDatabase::shared().checkForUpdates(installed, [this, scanWaits](bool isNewer, auto, auto) {
        if (isNewer)
            UpdateDatabase::shared().downloadDatabase(
                [this, scanWaits](bool done) { definitionsInstalled(done, *scanWaits); });
        else if (scanWaits->exchange(false))
            asyncMain([this] { runScan(); });
    });
}

void Scan::definitionsInstalled(bool installed, std::atomic<bool>& scanWaits)
{
    if (!scanWaits.exchange(false)) {
        // The scan went on without this install: only the definitions' status changes.
        setDefinitionsUpToDate(installed);
        return;
    }
    recordDefinitionsInstall(installed);
    asyncMain([] {
        postDefinitionsProgress(100.0);
        platform::NotificationCenter::defaultCenter().post("UpdateAGSQStatusAndDefinitionsBGX");
    });
    std::this_thread::sleep_for(pauseAfterInstall);
    asyncMain([this] { runScan(); });
}

void Scan::runScan()
{
    // Each scan has its own promise: the matching may still be inside set_value()
    // when the walk, woken by it, ends the scan and the next one starts.
    auto matchingEnded = std::make_shared<std::promise<void>>();
    matchingEndedSignal_ = matchingEnded->get_future().share();
    asyncGlobal([this] { countFiles(); });
    asyncGlobal([this, matchingEnded] {
        matchMalware();
        matchingEnded->set_value();
    });
}

void Scan::postCompletion()
{
    // The completion carries the matching's finished list.
    if (matchingEndedSignal_.valid())
        matchingEndedSignal_.wait();
    asyncMain([this, completed = recordsRead_] {
        // Cleared in the same main-queue item as the completion, so a scan started
        // from the main thread never overlaps the end of this one.
        isAborted = false;
        isScanRunning = false;
        platform::NotificationCenter::defaultCenter().post("NotifyScanProcessCompleteBGX",
                                                            {{"isScanCompleted", completed}, {"scanList", scanList}});
    });
}
