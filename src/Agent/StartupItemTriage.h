#pragma once

#include "Agent/AlertWindows.h"
#include "Agent/TriageClock.h"
#include "Foundation/FileWatcher.h"
#include "Platform/Dispatch/SerialQueue.h"
#include "Startup/LaunchAgent.h"
#include "Startup/LoginItem.h"
#include "Startup/StartupItemSnapshots.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// Where the triage takes its launch-agent snapshots: the folders, or a test's own.
using LaunchAgentSource = std::function<std::vector<LaunchAgent>()>;

// Notices new startup items: each launch-agent folder event and each login-items
// poll takes a fresh snapshot of its kind and, when it has grown, raises the
// startup-item alert for every item added since the last one, in order (the
// alert window shows them one after another). Both obey
// "IsStartupProtectionEnabledBGX"; the poll stays silent about an item the
// application switched back on 10 seconds ago or less.
class StartupItemTriage : public std::enable_shared_from_this<StartupItemTriage> {
public:
    explicit StartupItemTriage(std::weak_ptr<AlertWindows> alerts, TriageClock now = systemClock,
                               LaunchAgentSource launchAgents = launchAgentSnapshot)
        : alerts_(std::move(alerts)), now_(std::move(now)), takeLaunchAgentSnapshot_(std::move(launchAgents))
    {
    }

    // Main thread, at start-up: the snapshots the first passes compare with.
    void takeSnapshots();

    // Main thread: queues a comparison of the launch agents, unless one is queued
    // and not begun yet (that one will see the newest state); the comparisons
    // run one at a time, in order.
    void launchAgentFolderEvent(const FileWatcherEvent& event);

    // Main thread (the timer): queues one comparison of the login items, unless
    // one is still running.
    void pollLoginItems();

    // Main thread, when the agent ends (its watcher and timer stopped first):
    // drops the comparisons not begun yet, ends a poll still in its delay and
    // waits for those under way, so none runs past the agent's end.
    void stop();

private:
    void compareLaunchAgents();
    void compareLoginItems();
    // Waits `delay`, or less when stop() comes meanwhile; true when it came.
    bool isStoppedWithin(std::chrono::milliseconds delay);

    std::weak_ptr<AlertWindows> alerts_;
    TriageClock now_;
    LaunchAgentSource takeLaunchAgentSnapshot_;
    platform::dispatch::SerialQueue launchAgentQueue_;
    platform::dispatch::SerialQueue loginItemsQueue_;
    std::vector<LaunchAgent> launchAgents_; // touched only on launchAgentQueue_ after start-up
    std::vector<LoginItem> loginItems_;     // touched only on loginItemsQueue_ after start-up
    std::atomic<bool> isLaunchAgentComparisonQueued_ = false;
    std::atomic<bool> isLoginItemsWatching_ = false;
    std::mutex stopMutex_;
    std::condition_variable stopRequested_;
    bool isStopped_ = false;
};

// Whether the poll alerts on `item`: not when the suite names its application as
// the one the application re-enabled 10 whole seconds or less before `now`.
bool isAlertedAfterReEnable(const LoginItem& item, platform::Date now);
