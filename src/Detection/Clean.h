#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the clean takes of one results row when it starts.
struct CleanRow {
    bool isSelected = false;
    std::optional<std::vector<std::optional<std::string>>> itemPaths;
};

// The clean: removes every item path of the selected result rows, to the Trash or
// for good, after force-quitting running copies of an application bundle, and
// through the privileged remover when the user cannot write a bundle. Reports on
// the default center, every worker post on the main queue ("Int" values are
// std::int64_t, "Double" double, texts std::string):
//   "NotifyCleanProcessBGX"          "totalItems", "path", "pObj", "percentage"
//   "CleanViewUpdateBGX"             "menu" (CleanMenu)
//   "NotifyCleanProcessCompleteBGX"  "cleanedItems", "remainingItems", "pObj", "abortedIndex"
class Clean {
public:
    static Clean& shared();

    std::atomic<bool> isCleanRunning{false};
    std::atomic<bool> isPaused{false};
    std::atomic<bool> isAborted{false};

    // Main thread: takes the rows of the result list as they are now and cleans
    // them on the global queue, unless a clean runs.
    void startClean();

    // The worker, on the rows taken by startClean().
    void cleanItems(const std::vector<CleanRow>& rows);

private:
    Clean() = default;
};

// Removes one item that exists: a running application bundle is force-quit first.
void removeCleanItem(const std::string& path, bool moveToTrash);
