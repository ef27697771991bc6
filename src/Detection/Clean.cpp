#include "Detection/Clean.h"

#include "Foundation/IndexVocabularies.h"
#include "Detection/ScanProgress.h"
#include "Detection/SharedLists.h"
#include "Foundation/Analytics.h"
#include "Foundation/ProtectedPaths.h"
#include "Foundation/Settings.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/FileManager/FileManager.h"
#include "Platform/Notifications/NotificationCenter.h"

#include <chrono>
#include <iostream>
#include <thread>

using platform::dispatch::asyncMain;

namespace {

constexpr auto itemPacing = std::chrono::milliseconds(100);

std::int64_t itemCount(const std::vector<CleanRow>& rows, bool selectedOnly)
{
    std::int64_t count = 0;
    for (const auto& row : rows)
        if (row.itemPaths && (row.isSelected || !selectedOnly))
            count += static_cast<std::int64_t>(row.itemPaths->size());
    return count;
}

// True unless the suite holds a Boolean false.
bool moveToTrashChoice()
{
    platform::UserDefaults* suite = appGroupDefaults();
    const auto stored = suite ? suite->boolean(SettingsKey::moveDeletedToTrash) : std::nullopt;
    return stored.value_or(true);
}

void addToRemovedTotal(std::int64_t removed)
{
    auto& defaults = standardDefaults();
    const auto total = defaults.integer(SettingsKey::totalDeceptiveAppsRemovedSoFar).value_or(0);
    defaults.setInteger(SettingsKey::totalDeceptiveAppsRemovedSoFar, total + removed);
}

bool isOnDisk(const std::string& path)
{
    return platform::FileManager::defaultManager().fileExists(path);
}

// Removes the item unless it is gone already, protected or kept by the ignore list;
// says why when it keeps one, or when its removal failed.
std::optional<KeptItem> cleanOneItem(const std::string& path, bool moveToTrash, const IgnoredPaths& kept,
                                     const ProtectedFolders& protectedFolders,
                                     const std::vector<KeptItem>& keptSoFar)
{
    std::this_thread::sleep_for(itemPacing);
    if (!isOnDisk(path))
        return std::nullopt;
    if (kept.keepsAnythingAt(path)) {
        std::cout << "Not removed: \"" << path << "\" is on the ignore list or holds a path on it" << std::endl;
        return KeptItem{path, KeptReason::ignoreList};
    }
    if (protectedFolders.protects(path)) {
        std::cout << "Not removed: \"" << path << "\" is a protected path" << std::endl;
        return KeptItem{path, KeptReason::protectedPath};
    }
    if (auto failure = removeCleanItem(path, moveToTrash, keptSoFar))
        return KeptItem{path, KeptReason::notRemoved, std::move(*failure)};
    return std::nullopt;
}

} // namespace

std::vector<CleanRow> cleanRowsOf(const std::vector<ScanResult>& results)
{
    std::vector<CleanRow> rows;
    for (const auto& result : results) {
        CleanRow row{result.isSelected, std::nullopt};
        if (result.items) {
            row.itemPaths.emplace();
            for (const auto& item : *result.items)
                row.itemPaths->push_back(item.path);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

Clean& Clean::shared()
{
    static Clean* clean = new Clean; // kept for the life of the process; the worker may outlive main()
    return *clean;
}

void Clean::startClean()
{
    if (isCleanRunning.exchange(true))
        return;
    // A stop answered after the last clean had ended must not end this one.
    isAborted = false;
    auto rows = cleanRowsOf(scanResults().snapshot());
    auto kept = IgnoredPaths::stored();
    sendAnalyticsEvent("clean", "malware_cleanning");
    auto& center = platform::NotificationCenter::defaultCenter();
    center.post("MenuSelectionBGX", {{menuKey, Menu::scan}});
    center.post("ScanViewUpdateBGX", {{menuKey, ScanMenu::cleanProcess}});
    center.post("CleanViewUpdateBGX", {{menuKey, CleanMenu::process}});
    platform::dispatch::asyncGlobal(
        [this, rows = std::move(rows), kept = std::move(kept)] { cleanItems(rows, kept); });
}

void Clean::cleanItems(const std::vector<CleanRow>& rows, const IgnoredPaths& kept)
{
    const std::int64_t allItems = itemCount(rows, false);
    const std::int64_t selectedItems = itemCount(rows, true);
    const bool moveToTrash = moveToTrashChoice();
    const ProtectedFolders protectedFolders; // each item is still resolved as it is judged
    std::int64_t handled = 0;
    std::int64_t abortedIndex = 0;
    std::vector<KeptItem> keptItems;
    for (std::size_t position = 0; position < rows.size(); ++position) {
        waitWhilePaused(isPaused);
        if (isAborted)
            break;
        const CleanRow& row = rows[position];
        if (!row.isSelected || !row.itemPaths)
            continue;
        for (const auto& path : *row.itemPaths) {
            if (!path)
                continue;
            waitWhilePaused(isPaused);
            if (isAborted) {
                abortedIndex = static_cast<std::int64_t>(position);
                break;
            }
            if (auto keptItem = cleanOneItem(*path, moveToTrash, kept, protectedFolders, keptItems))
                keptItems.push_back(std::move(*keptItem));
            const double share = progressShare(++handled, selectedItems);
            asyncMain([selectedItems, path = *path, handled, share] {
                platform::NotificationCenter::defaultCenter().post(
                    "NotifyCleanProcessBGX",
                    {{"totalItems", selectedItems}, {"path", path}, {"pObj", handled}, {"percentage", share}});
            });
        }
    }
    const auto removedItems = handled - static_cast<std::int64_t>(keptItems.size());
    addToRemovedTotal(removedItems);
    // The clean ends in the main-queue item that posts its end, so nothing on the main
    // thread sees it over before its completion is handled.
    asyncMain([this, selectedItems, allItems, handled, abortedIndex, removedItems, keptItems = std::move(keptItems)] {
        isAborted = false;
        isCleanRunning = false;
        auto& center = platform::NotificationCenter::defaultCenter();
        center.post("CleanViewUpdateBGX", {{menuKey, CleanMenu::result}});
        center.post("NotifyCleanProcessCompleteBGX", {{"cleanedItems", selectedItems},
                                                      {"remainingItems", allItems - handled},
                                                      {"pObj", handled},
                                                      {"abortedIndex", abortedIndex},
                                                      {"removedItems", removedItems},
                                                      {"keptItems", keptItems}});
    });
}
