#pragma once

#include "Detection/ProgressHandOver.h"
#include "Detection/Records.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <future>
#include <string>
#include <vector>

// The scan: a walk of the six scan roots that only reports progress, and beside it
// a matching that tests every known path of every signature record for existence.
// Reports by notifications on the default center, each posted on the main thread
// ("Int" values are std::int64_t, "Double" double, texts std::string):
//   "NotifyScanProcessBGX"          "totalFound", "path", "objectsScanned", "percentage"
//   "NotifyScanProcessCompleteBGX"  "isScanCompleted" (bool: false when the records could
//                                   not be read), "scanList" (std::vector<MalwareList>)
// and, at the start, "MenuSelectionBGX" / "ScanViewUpdateBGX" with their "menu" values.
class Scan {
public:
    static Scan& shared();

    // Written by the screens on the main thread and read by the workers.
    std::atomic<bool> isScanRunning{false};
    std::atomic<bool> isPaused{false};
    std::atomic<bool> isAborted{false};

    // The last scan's results: written by the matching only, read once it has ended.
    std::vector<MalwareList> scanList;
    // Found items counted by the matching so far; cleared by startScan().
    std::atomic<std::int64_t> pIndex{0};
    // ~/Downloads, /Applications, ~/Desktop, ~/Documents,
    // ~/Library/Application Support, ~/Library/Preferences (host paths).
    const std::vector<std::string> quickScanPaths;

    // Main thread: starts a scan unless one runs.
    void startScan();
    // Background: the definitions step, then runScan() on the main queue; the step
    // waits no longer than maximumDefinitionsWait, and then the scan goes on with the
    // installed definitions (a download still under way installs and stamps them
    // when it ends).
    void prepareScan();
    static constexpr std::chrono::milliseconds maximumDefinitionsWait = std::chrono::seconds(90);
    // Tests wait this long in place of maximumDefinitionsWait.
    static void setMaximumDefinitionsWaitForTesting(std::chrono::milliseconds wait);
    // Main thread: the walk and the matching on the global queue.
    void runScan();
    // Background: the walk; ends the scan with the completion once the matching has ended.
    void countFiles();
    // Background: the walk's first pass over one root; the regular files counted.
    std::int64_t countFiles(const std::string& atPath);
    // Background: the matching; fills scanList and pIndex. When the installed records
    // cannot be read, even after the shipped ones are installed again, the list stays
    // empty and the scan's completion says it did not complete.
    void matchMalware();

private:
    Scan();
    void definitionsInstalled(bool installed, std::atomic<bool>& scanWaits);
    void postCompletion();

    // Set by runScan() before the halves start; the walk waits for it before its completion.
    std::shared_future<void> matchingEndedSignal_;
    // Written by the matching before it signals its end; false when it had no records to match.
    bool recordsRead_ = true;
    // The walk's progress posts on their way to the main queue.
    ProgressHandOver progressHandOver_;
};
