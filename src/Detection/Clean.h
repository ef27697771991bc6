#pragma once

#include "Detection/ScanResult.h"
#include "Foundation/IgnoreList.h"

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

std::vector<CleanRow> cleanRowsOf(const std::vector<ScanResult>& results);

// Why a clean left an item on disk that it was asked to remove.
enum class KeptReason {
    ignoreList,    // it is on the ignore list or holds a path on it
    protectedPath, // a path no record may have removed
    notRemoved,    // its removal failed, was refused or was not allowed
};

struct KeptItem {
    std::string path;
    KeptReason reason;
    std::string failure = {}; // for notRemoved: why, as a short text

    bool operator==(const KeptItem&) const = default;
};

// The clean: removes every item path of the selected result rows, to the Trash or
// for good, after force-quitting running copies of an application bundle, and
// through the privileged remover alone when the user cannot write a bundle (a
// refused or cancelled step keeps it, and it never passes through a link); every
// other removal walks descriptors with the user's rights, from the item's folder as
// its links resolve when the removal starts, never following the item itself. An item that
// the ignore list, as it stands when the clean starts, covers or holds an entry of is
// never removed, nor is anything inside an item whose removal was refused or failed
// (a bundle kept by a Cancel keeps its Contents). An item counts as removed when its removal succeeded or it was
// gone already; the lifetime total grows by that count. Reports on
// the default center, every worker post on the main queue ("Int" values are
// std::int64_t, "Double" double, texts std::string):
//   "NotifyCleanProcessBGX"          "totalItems", "path", "pObj", "percentage"
//   "CleanViewUpdateBGX"             "menu" (CleanMenu)
//   "NotifyCleanProcessCompleteBGX"  "cleanedItems", "remainingItems", "pObj", "abortedIndex",
//                                    "removedItems", "keptItems" (std::vector<KeptItem>, in the
//                                    order met: every item reached and not removed)
class Clean {
public:
    static Clean& shared();

    std::atomic<bool> isCleanRunning{false};
    std::atomic<bool> isPaused{false};
    std::atomic<bool> isAborted{false};

    // Main thread: takes the rows of the result list and the ignore list as they are
    // now and cleans them on the global queue, unless a clean runs.
    void startClean();

    // The worker, on what startClean() took.
    void cleanItems(const std::vector<CleanRow>& rows, const IgnoredPaths& kept);

private:
    Clean() = default;
};

// Removes one item that exists: a running application bundle is force-quit first.
// Nothing when it was removed, else why it was not. An item inside one whose removal
// was refused or failed (among `keptSoFar`) is kept too, for the same reason.
std::optional<std::string> removeCleanItem(const std::string& path, bool moveToTrash,
                                           const std::vector<KeptItem>& keptSoFar);
