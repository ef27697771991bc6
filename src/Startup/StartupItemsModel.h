#pragma once

#include "Startup/LaunchAgent.h"
#include "Startup/LoginItem.h"
#include "Startup/StartupItemsView.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// The state and the work of the startup-items screen, without its widgets: the
// two lists, the list shown, the loads and the removal of the selected items.
//
// The lists and menuClicked are changed on the main thread only, under the
// model's lock; the main thread reads them freely, the workers read them under
// the lock. The model is shared: each load and removal keeps it alive until its
// hand-over has run. The view's owner calls forgetView() before the view goes; the
// work under way then ends without showing anything.
//
// The removal reports on the default center, from the main queue ("Int" values
// are std::int64_t, "Double" double, texts std::string):
//   "NotifyCleanProcess_StartupItemsBGX"         "totalItems", "path", "pObj", "percentage"
//   "CleanViewUpdate_StartupItemsBGX"            "menu" (CleanMenu::result)
//   "NotifyCleanProcessComplete_StartupItemsBGX" "cleanedItems", "remainingItems", "pObj",
//                                                "abortedIndex", "isLoginItems" (bool),
//                                                "failures" (why items were not deleted, a
//                                                line each), "recordsUnsaved" (bool: a
//                                                switched-off record could not be dropped)
class StartupItemsModel : public std::enable_shared_from_this<StartupItemsModel> {
public:
    static std::shared_ptr<StartupItemsModel> create(StartupItemsView& view);

    // Main thread: the view is going; nothing is shown on it from here on.
    void forgetView() { view_ = nullptr; }

    // Main thread.
    StartupManager menuClicked() const { return menuClicked_; }
    void setMenuClicked(StartupManager list);
    const std::vector<LoginItem>& loginItems() const { return loginItems_; }
    const std::vector<LaunchAgent>& launchAgents() const { return launchAgents_; }
    // Changes one record in place (the row's check box).
    void changeLoginItem(std::size_t index, const std::function<void(LoginItem&)>& change);
    void changeLaunchAgent(std::size_t index, const std::function<void(LaunchAgent&)>& change);
    // Gives the record at `index`, when it is still the switched one, the state the
    // switch left on its copy.
    void takeSwitchedState(std::size_t index, const LoginItem& switched);
    void takeSwitchedState(std::size_t index, const LaunchAgent& switched);

    // Whether a list is loading; while one is, tabs, reloads and deletion wait.
    bool isRetrivingLoginItems() const { return isRetrivingLoginItems_; }
    bool isRetrivingLaunchAgents() const { return isRetrivingLaunchAgents_; }
    bool isLoading() const { return isRetrivingLoginItems_ || isRetrivingLaunchAgents_; }

    // Main thread: starts a load of one list on the global queue (retrieving
    // flag set, busy indicator shown); reloadStartupItems starts both, only when
    // no list is loading and no removal runs.
    void startLoading(StartupManager list);
    void reloadStartupItems();

    // The loaders, on a background queue: build the list, merge the records of
    // switched-off items, hand the list over on the main queue.
    void loadLoginItems();
    void loadLaunchAgents();

    // The hand-over of a loaded list, on the main queue.
    void showLoadedStartupItems(std::vector<LoginItem> list);
    void showLoadedStartupItems(std::vector<LaunchAgent> list);

    // The first record of `in` that is the same item as `matching`: login items
    // with the same program and application URL; launch agents with the same
    // label or plist path. Values that are absent on either side never match.
    static const LoginItem* firstLoginItem(const LoginItem& matching, const std::vector<LoginItem>& in);
    static const LaunchAgent* firstLaunchAgent(const LaunchAgent& matching, const std::vector<LaunchAgent>& in);

    // Main thread: starts the removal of the selected records of the list shown
    // on the global queue. From here until its result is posted a removal runs.
    void startRemoval();
    static bool isRemovingStartupItems();

    // The removal itself, on a background queue; it waits while
    // isStartupItemsCleanPaused is set, stops before the next record when
    // isStartupItemsCleanAborted is set, and clears the stop at its end.
    void removeSelectedStartupItems();

    // Main queue: the progress notification; the completion (the two end
    // notifications, the count label, the selected count, the table).
    void postRemovalProgress(std::int64_t total, const std::string& path, std::int64_t removed, double percentage);
    // What a removal leaves unfinished.
    struct RemovalFailures {
        std::string reasons; // "<name>: <why>", a line each
        bool recordsUnsaved = false;
    };
    void postRemovalCompletion(std::int64_t selected, std::int64_t listCount, std::int64_t removed,
                               std::int64_t abortedIndex, bool isLoginItems, const RemovalFailures& failures);

    // What the removal does after each selected record (on the worker): waits 2 seconds.
    std::function<void()> pauseAfterEachRemoval = [] { std::this_thread::sleep_for(std::chrono::seconds(2)); };

private:
    explicit StartupItemsModel(StartupItemsView& view) : view_(&view) {}

    template <class Record> std::vector<Record>& list();
    template <class Record> void keepSwitchedState(std::size_t index, const Record& switched);
    template <class Record> void handOver(std::vector<Record> loaded);
    template <class Record> void runRemoval();
    template <class Record> void finishRemoval(std::vector<Record> notRemoved, std::optional<std::size_t> stopPosition,
                                               std::int64_t selected, std::int64_t listCount, std::int64_t removed,
                                               const RemovalFailures& failures);

    // Launch agents whose deletion failed while launchd runs them with their plist
    // gone: no folder lists them, so each reload lists them again while they run.
    std::vector<LaunchAgent> unremovedJobs_;
    void keepListingUnremovedJobs(const std::vector<LaunchAgent>& notRemoved);
    void addUnremovedJobs(std::vector<LaunchAgent>& agents);

    StartupItemsView* view_; // null once the view has gone
    mutable std::mutex mutex_;
    StartupManager menuClicked_ = StartupManager::loginItems;
    bool isRetrivingLoginItems_ = false;
    bool isRetrivingLaunchAgents_ = false;
    std::vector<LoginItem> loginItems_;
    std::vector<LaunchAgent> launchAgents_;
};
