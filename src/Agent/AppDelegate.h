#pragma once

#include "Agent/AlertWindows.h"
#include "Agent/CrashReportTriage.h"
#include "Agent/DownloadTriage.h"
#include "Agent/StartupItemTriage.h"
#include "Foundation/FileWatcher.h"
#include "Platform/Dispatch/Dispatch.h"

#include <functional>
#include <memory>

// The agent's delegate: its start-up (records, the three folder watchers, then
// the snapshots, one definitions update, the login-items poll), the triage of
// what the watchers and the poll report, and the alert windows. Main thread only; owns its
// watchers and its timer until stopAgent() or its end.
class AppDelegate {
public:
    AppDelegate();
    ~AppDelegate();
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    void startAgent();
    // Stops the watchers and the poll, and waits for the startup-item
    // comparisons under way (the agent is ending).
    void stopAgent();

    static void updateDefinitionsInBackground();
    // Called when a definitions install attempt has finished: new records are loaded.
    static void definitionsInstalled(bool installed);
    // Replaces the records, whole, with those of the installed database; then, when
    // any were loaded, runs `loaded` on the main queue (without records nothing it
    // would judge can match).
    static void loadMalwareRecordsInBackground(std::function<void()> loaded = {});

    void watchCrashReports();
    void watchDownloads();
    void watchLaunchAgentFolders();
    void pollLoginItems();

    AlertWindows& alertWindows() { return *alertWindows_; }

private:
    std::shared_ptr<AlertWindows> alertWindows_;
    std::shared_ptr<StartupItemTriage> startupItemTriage_;
    DownloadTriage downloadTriage_;
    CrashReportTriage crashReportTriage_;
    std::unique_ptr<FileWatcher> fileWatcherStartupItem;
    std::unique_ptr<FileWatcher> fileWatcherDownloads;
    std::unique_ptr<FileWatcher> fileWatcherCrashes;
    std::unique_ptr<platform::dispatch::RepeatingTimer> loginItemsWatchTimer;
};
