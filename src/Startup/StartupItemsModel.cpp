#include "Startup/StartupItemsModel.h"

#include "Foundation/IndexVocabularies.h"
#include "Foundation/Analytics.h"
#include "Foundation/SharedState.h"
#include "Foundation/TextTable.h"
#include "Helper/LDLaunchCtl/LDJobs.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Notifications/NotificationCenter.h"
#include "Startup/DisabledStartupItemRecords.h"
#include "Startup/StartupItemRemoval.h"
#include "Startup/StartupItemRules.h"
#include "Startup/StartupItemSnapshots.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <type_traits>

namespace {

std::atomic<bool> removalRunning = false;

// What a switch changes of a record (the rest, its check box, may have changed meanwhile).
void copySwitchedState(LoginItem& shown, const LoginItem& switched)
{
    shown.isEnable = switched.isEnable;
    shown.jobDictionary = switched.jobDictionary;
}

void copySwitchedState(LaunchAgent& shown, const LaunchAgent& switched)
{
    shown.isEnable = switched.isEnable;
}

using platform::dispatch::asyncGlobal;
using platform::dispatch::asyncMain;

template <class Record> struct ListTraits;

template <> struct ListTraits<LoginItem> {
    static constexpr StartupManager list = StartupManager::loginItems;
    static constexpr const char* analyticsCategory = "loginitems";
    static std::vector<platform::Dictionary> storedRecords() { return disabledLoginItems(); }
    static void dropStoredRecord(const platform::Dictionary& record) { removeDisabledLoginItem(record); }
    static const LoginItem* firstMatching(const LoginItem& item, const std::vector<LoginItem>& in)
    {
        return StartupItemsModel::firstLoginItem(item, in);
    }
};

template <> struct ListTraits<LaunchAgent> {
    static constexpr StartupManager list = StartupManager::launchAgents;
    static constexpr const char* analyticsCategory = "launchagents";
    static std::vector<platform::Dictionary> storedRecords() { return disabledLaunchAgents(); }
    static void dropStoredRecord(const platform::Dictionary& record) { removeDisabledLaunchAgent(record); }
    static const LaunchAgent* firstMatching(const LaunchAgent& item, const std::vector<LaunchAgent>& in)
    {
        return StartupItemsModel::firstLaunchAgent(item, in);
    }
};

// Adds the items rebuilt from the records of switched-off items that the list
// lacks; drops the record of an item that is found switched on again.
template <class Record>
void mergeSwitchedOffItems(std::vector<Record>& items)
{
    using Traits = ListTraits<Record>;
    for (const auto& stored : Traits::storedRecords()) {
        Record rebuilt(stored);
        const Record* match = Traits::firstMatching(rebuilt, items);
        if (!match)
            items.push_back(std::move(rebuilt));
        else if (match->isEnable)
            Traits::dropStoredRecord(stored);
    }
}

std::string countText(std::size_t count)
{
    return std::to_string(count) + " " + localizedText(count <= 1 ? "IDS_BGX_44" : "IDS_BGX_43");
}

void waitWhileRemovalPaused()
{
    while (isStartupItemsCleanPaused)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

std::optional<std::string> labelOf(const LaunchAgent& agent)
{
    return agent.label();
}

std::optional<std::string> labelOf(const LoginItem& item)
{
    return item.label;
}

// How the result names an item that was not deleted.
template <class Record>
std::string failureLine(const Record& record, const std::string& failure)
{
    const std::string name = record.name.value_or(labelOf(record).value_or(""));
    return (name.empty() ? std::string() : name + ": ") + failure;
}

// A record that was not deleted, with why.
LoginItem withFailure(const LoginItem& item, const std::string&)
{
    return item;
}

LaunchAgent withFailure(const LaunchAgent& agent, const std::string& failure)
{
    LaunchAgent failed = agent;
    failed.removalFailure = failure;
    return failed;
}

bool isRunningWithoutPlist(const LaunchAgent& agent)
{
    const auto label = labelOf(agent);
    std::error_code ignored;
    return label && agent.ldLaunchDomain && LDJobIsLoaded(*label, *agent.ldLaunchDomain)
           && !(agent.plistPath && std::filesystem::exists(*agent.plistPath, ignored));
}

std::optional<std::string> presentPath(const std::optional<std::string>& path)
{
    return path && !path->empty() ? path : std::nullopt;
}

} // namespace

std::shared_ptr<StartupItemsModel> StartupItemsModel::create(StartupItemsView& view)
{
    return std::shared_ptr<StartupItemsModel>(new StartupItemsModel(view));
}

template <> std::vector<LoginItem>& StartupItemsModel::list<LoginItem>() { return loginItems_; }
template <> std::vector<LaunchAgent>& StartupItemsModel::list<LaunchAgent>() { return launchAgents_; }

void StartupItemsModel::setMenuClicked(StartupManager list)
{
    std::lock_guard lock(mutex_);
    menuClicked_ = list;
}

void StartupItemsModel::changeLoginItem(std::size_t index, const std::function<void(LoginItem&)>& change)
{
    std::lock_guard lock(mutex_);
    if (index < loginItems_.size())
        change(loginItems_[index]);
}

void StartupItemsModel::changeLaunchAgent(std::size_t index, const std::function<void(LaunchAgent&)>& change)
{
    std::lock_guard lock(mutex_);
    if (index < launchAgents_.size())
        change(launchAgents_[index]);
}

template <class Record>
void StartupItemsModel::keepSwitchedState(std::size_t index, const Record& switched)
{
    std::lock_guard lock(mutex_);
    auto& records = list<Record>();
    if (index < records.size() && records[index] == switched)
        copySwitchedState(records[index], switched);
}

void StartupItemsModel::takeSwitchedState(std::size_t index, const LoginItem& switched)
{
    keepSwitchedState(index, switched);
}

void StartupItemsModel::takeSwitchedState(std::size_t index, const LaunchAgent& switched)
{
    keepSwitchedState(index, switched);
}

void StartupItemsModel::startLoading(StartupManager list)
{
    const bool loginItems = list == StartupManager::loginItems;
    (loginItems ? isRetrivingLoginItems_ : isRetrivingLaunchAgents_) = true;
    if (view_)
        view_->showLoader();
    asyncGlobal([self = shared_from_this(), loginItems] {
        if (loginItems)
            self->loadLoginItems();
        else
            self->loadLaunchAgents();
    });
}

void StartupItemsModel::reloadStartupItems()
{
    if (isLoading() || isRemovingStartupItems())
        return;
    startLoading(StartupManager::loginItems);
    startLoading(StartupManager::launchAgents);
}

void StartupItemsModel::loadLoginItems()
{
    auto items = loginItemSnapshot();
    mergeSwitchedOffItems(items);
    asyncMain([self = shared_from_this(), items = std::move(items)]() mutable {
        self->showLoadedStartupItems(std::move(items));
    });
}

void StartupItemsModel::loadLaunchAgents()
{
    auto agents = launchAgentSnapshot();
    mergeSwitchedOffItems(agents);
    addUnremovedJobs(agents);
    asyncMain([self = shared_from_this(), agents = std::move(agents)]() mutable {
        self->showLoadedStartupItems(std::move(agents));
    });
}

template <class Record>
void StartupItemsModel::handOver(std::vector<Record> loaded)
{
    const std::size_t count = loaded.size();
    {
        std::lock_guard lock(mutex_);
        list<Record>() = std::move(loaded);
    }
    constexpr StartupManager which = ListTraits<Record>::list;
    (which == StartupManager::loginItems ? isRetrivingLoginItems_ : isRetrivingLaunchAgents_) = false;
    if (!view_)
        return;
    view_->showCount(which, countText(count));
    view_->reloadTable();
    view_->updateSelectedItemsCount();
    view_->hideLoader();
}

void StartupItemsModel::showLoadedStartupItems(std::vector<LoginItem> list)
{
    handOver(std::move(list));
}

void StartupItemsModel::showLoadedStartupItems(std::vector<LaunchAgent> list)
{
    handOver(std::move(list));
}

const LoginItem* StartupItemsModel::firstLoginItem(const LoginItem& matching, const std::vector<LoginItem>& in)
{
    // Session items have no program and are told apart by their URL alone.
    const auto found = std::find_if(in.begin(), in.end(), [&](const LoginItem& item) {
        return (item.program || item.appUrl) && item.program == matching.program && item.appUrl == matching.appUrl;
    });
    return found == in.end() ? nullptr : &*found;
}

const LaunchAgent* StartupItemsModel::firstLaunchAgent(const LaunchAgent& matching, const std::vector<LaunchAgent>& in)
{
    const auto found = std::find_if(in.begin(), in.end(), [&](const LaunchAgent& agent) {
        return bothPresentAndEqual(labelOf(agent), labelOf(matching))
               || bothPresentAndEqual(presentPath(agent.plistPath), presentPath(matching.plistPath));
    });
    return found == in.end() ? nullptr : &*found;
}

void StartupItemsModel::startRemoval()
{
    removalRunning = true;
    asyncGlobal([self = shared_from_this()] { self->removeSelectedStartupItems(); });
}

bool StartupItemsModel::isRemovingStartupItems()
{
    return removalRunning;
}

void StartupItemsModel::removeSelectedStartupItems()
{
    StartupManager shown;
    {
        std::lock_guard lock(mutex_);
        shown = menuClicked_;
    }
    if (shown == StartupManager::loginItems)
        runRemoval<LoginItem>();
    else
        runRemoval<LaunchAgent>();
}

template <class Record>
void StartupItemsModel::runRemoval()
{
    std::vector<Record> records;
    {
        std::lock_guard lock(mutex_);
        records = list<Record>();
    }
    const auto listCount = static_cast<std::int64_t>(records.size());
    const auto selected = static_cast<std::int64_t>(
        std::count_if(records.begin(), records.end(), [](const Record& record) { return record.isSelected; }));
    std::int64_t processed = 0;
    std::int64_t removed = 0;
    std::vector<Record> notRemoved;
    RemovalFailures failures;
    std::optional<std::size_t> stopPosition;

    for (std::size_t i = 0; i < records.size(); ++i) {
        waitWhileRemovalPaused();
        if (isStartupItemsCleanAborted) {
            stopPosition = i;
            break;
        }
        const Record& record = records[i];
        if (!record.isSelected)
            continue;
        std::string failure;
        const auto outcome = removeStartupItem(record, &failure);
        if (outcome == RemovalOutcome::removed)
            ++removed;
        else if (outcome == RemovalOutcome::notRemoved || outcome == RemovalOutcome::notStored) {
            notRemoved.push_back(withFailure(record, failure));
            failures.reasons += (failures.reasons.empty() ? "" : "\n") + failureLine(record, failure);
            failures.recordsUnsaved = failures.recordsUnsaved || outcome == RemovalOutcome::notStored;
        }
        ++processed;
        const double percentage = static_cast<double>(processed) / static_cast<double>(selected) * 100.0;
        const std::string path = record.appUrl ? record.appUrl->path() : std::string();
        asyncMain([self = shared_from_this(), selected, path, removed, percentage] {
            self->postRemovalProgress(selected, path, removed, percentage);
        });
        pauseAfterEachRemoval();
    }

    // Done before the completion is handed over: a removal started once it is seen
    // keeps its own Stop.
    sendAnalyticsEvent(ListTraits<Record>::analyticsCategory, "deleted");
    isStartupItemsCleanAborted = false;
    asyncMain([self = shared_from_this(), notRemoved = std::move(notRemoved), stopPosition, selected, listCount,
               removed, failures = std::move(failures)]() mutable {
        self->finishRemoval<Record>(std::move(notRemoved), stopPosition, selected, listCount, removed, failures);
    });
}

template <class Record>
void StartupItemsModel::finishRemoval(std::vector<Record> notRemoved, std::optional<std::size_t> stopPosition,
                                      std::int64_t selected, std::int64_t listCount, std::int64_t removed,
                                      const RemovalFailures& failures)
{
    {
        std::lock_guard lock(mutex_);
        auto& current = list<Record>();
        std::vector<Record> kept;
        for (std::size_t i = 0; i < current.size(); ++i) {
            const Record& record = current[i];
            const auto failed = std::find(notRemoved.begin(), notRemoved.end(), record);
            if (failed != notRemoved.end())
                kept.push_back(*failed);
            else if (!record.isSelected || (stopPosition && i >= *stopPosition))
                kept.push_back(record);
        }
        current = std::move(kept);
        if constexpr (std::is_same_v<Record, LaunchAgent>)
            keepListingUnremovedJobs(notRemoved);
    }
    postRemovalCompletion(selected, listCount, removed, 0, ListTraits<Record>::list == StartupManager::loginItems,
                          failures);
}

// Call with the lock held.
void StartupItemsModel::keepListingUnremovedJobs(const std::vector<LaunchAgent>& notRemoved)
{
    for (const LaunchAgent& agent : notRemoved)
        if (isRunningWithoutPlist(agent) && !firstLaunchAgent(agent, unremovedJobs_))
            unremovedJobs_.push_back(agent);
}

void StartupItemsModel::addUnremovedJobs(std::vector<LaunchAgent>& agents)
{
    std::lock_guard lock(mutex_);
    std::erase_if(unremovedJobs_, [](const LaunchAgent& agent) { return !isRunningWithoutPlist(agent); });
    for (const LaunchAgent& agent : unremovedJobs_)
        if (!firstLaunchAgent(agent, agents)) {
            agents.push_back(agent);
            agents.back().isSelected = false; // as every record a load makes
        }
}

void StartupItemsModel::postRemovalProgress(std::int64_t total, const std::string& path, std::int64_t removed,
                                            double percentage)
{
    platform::NotificationCenter::defaultCenter().post(
        "NotifyCleanProcess_StartupItemsBGX",
        {{"totalItems", total}, {"path", path}, {"pObj", removed}, {"percentage", percentage}});
}

void StartupItemsModel::postRemovalCompletion(std::int64_t selected, std::int64_t listCount, std::int64_t removed,
                                              std::int64_t abortedIndex, bool isLoginItems,
                                              const RemovalFailures& failures)
{
    auto& center = platform::NotificationCenter::defaultCenter();
    center.post("CleanViewUpdate_StartupItemsBGX", {{menuKey, CleanMenu::result}});
    center.post("NotifyCleanProcessComplete_StartupItemsBGX", {{"cleanedItems", selected},
                                                               {"remainingItems", listCount - removed},
                                                               {"pObj", removed},
                                                               {"abortedIndex", abortedIndex},
                                                               {"isLoginItems", isLoginItems},
                                                               {"failures", failures.reasons},
                                                               {"recordsUnsaved", failures.recordsUnsaved}});
    removalRunning = false;
    if (!view_)
        return;
    const std::size_t left = isLoginItems ? loginItems_.size() : launchAgents_.size();
    view_->showCount(isLoginItems ? StartupManager::loginItems : StartupManager::launchAgents, countText(left));
    view_->updateSelectedItemsCount();
    view_->reloadTable();
}
