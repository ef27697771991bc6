#include "Screens/Scan/CleanProcessViewController.h"

#include "Detection/Clean.h"
#include "Detection/SharedLists.h"
#include "Foundation/IndexVocabularies.h"
#include "Foundation/SharedState.h"
#include "Foundation/TextTable.h"
#include "Platform/FileManager/FileManager.h"
#include "Screens/Common/TextFormat.h"
#include "Screens/Scan/ScanResultRows.h"

#include <QLabel>

namespace {

CleanProgressSetup cleanSetup()
{
    return {"CleanViewUpdateBGX", "NotifyCleanProcessCompleteBGX", "NotifyCleanProcessBGX",
            "IDS_BGX_81",         "IDS_BGX_82",                    "IDS_BGX_83",
            "IDS_BGX_84",         &Clean::shared().isPaused,       &Clean::shared().isAborted};
}

// As the hand-over lists an item: a link counts by what it names.
bool onDisk(const ScanResultItem& item)
{
    return item.path && platform::FileManager::defaultManager().fileExists(*item.path);
}

struct CleanOutcome {
    std::int64_t removed = 0; // as the clean added it to the lifetime total
    bool everythingRemoved = true;
};

// Leaves in the list what the clean left on disk (see the class comment).
CleanOutcome keepWhatRemains(std::vector<ScanResult>& results)
{
    CleanOutcome outcome{removedItemCount(cleanRowsOf(results))};
    for (ScanResult& result : results) {
        if (!result.isSelected)
            continue;
        result.isSelected = false;
        if (!result.items)
            continue;
        std::erase_if(*result.items, [](const ScanResultItem& item) { return !onDisk(item); });
        outcome.everythingRemoved = outcome.everythingRemoved && result.items->empty();
    }
    std::erase_if(results, [](const ScanResult& result) { return itemCount(result) == 0; });
    return outcome;
}

} // namespace

CleanProcessViewController::CleanProcessViewController(QWidget* parent) : CleanProgressScreen(cleanSetup(), parent)
{
    setObjectName("CleanProcessViewController");
    lblDeceptiveAppItemsDeleted = addResultLine("lblDeceptiveAppItemsDeleted");
    lblYouNowHaveDeceptiveAppItems = addResultLine("lblYouNowHaveDeceptiveAppItems");
}

void CleanProcessViewController::notificationUpdateValues(const platform::Notification& notification)
{
    for (const char* key : {"cleanedItems", "remainingItems", "pObj", "abortedIndex"})
        if (!notification.value<std::int64_t>(key))
            return;
    resetProgress();
    const CleanOutcome outcome = scanResults().update(keepWhatRemains);
    const std::int64_t remaining = totalItemCount(scanResults().snapshot());
    showWayOut(remaining < 1);
    lblDeceptiveAppItemsDeleted->setText(QString::fromStdString(
        std::to_string(outcome.removed) + " " + formatText(localizedText("IDS_BGX_85"), {itemWord(outcome.removed)})));
    lblYouNowHaveDeceptiveAppItems->setText(QString::fromStdString(
        formatText(localizedText("IDS_BGX_86"), {std::to_string(remaining), itemWord(remaining)})));
    showCleanupStatus(outcome.everythingRemoved);
    platform::NotificationCenter::defaultCenter().post("UpdateScanResultBGX");
}

void CleanProcessViewController::clickedReviewApps()
{
    platform::NotificationCenter::defaultCenter().post("ScanViewUpdateBGX", {{menuKey, ScanMenu::scanresult}});
    isCleanInProgress = false;
}

void CleanProcessViewController::clickedHome()
{
    isScanResultsShown = false;
    auto& center = platform::NotificationCenter::defaultCenter();
    center.post("ScanViewUpdateBGX", {{menuKey, ScanMenu::scanresult}});
    isCleanInProgress = false;
    center.post("MenuSelectionBGX", {{menuKey, Menu::overview}});
}
