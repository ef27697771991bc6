#include "Screens/Scan/CleanProcessViewController.h"

#include "Detection/Clean.h"
#include "Detection/SharedLists.h"
#include "Foundation/IndexVocabularies.h"
#include "Foundation/SharedState.h"
#include "Foundation/TextTable.h"
#include "Platform/FileManager/FileManager.h"
#include "Screens/Common/KeptItemLine.h"
#include "Screens/Common/PlainToolTip.h"
#include "Screens/Common/TextFormat.h"
#include "Screens/Scan/ScanResultRows.h"

#include <QLabel>
#include <QStringList>

#include <filesystem>

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

// Leaves in the list what the clean left on disk (see the class comment): true when
// no selected item is left.
bool keepWhatRemains(std::vector<ScanResult>& results)
{
    bool everythingRemoved = true;
    for (ScanResult& result : results) {
        if (!result.isSelected)
            continue;
        result.isSelected = false;
        if (!result.items)
            continue;
        std::erase_if(*result.items, [](const ScanResultItem& item) { return !onDisk(item); });
        everythingRemoved = everythingRemoved && result.items->empty();
    }
    std::erase_if(results, [](const ScanResult& result) { return itemCount(result) == 0; });
    return everythingRemoved;
}

// One line for each item the clean kept on disk, naming it and saying why; the full
// paths in the tool tip. Hidden when the clean kept nothing.
void showKeptItems(QLabel& label, const std::vector<KeptItem>& kept)
{
    QStringList lines;
    QStringList paths;
    for (const KeptItem& item : kept) {
        lines.push_back(QString::fromStdString(keptItemLine(item)));
        paths.push_back(QString::fromStdString(item.path));
    }
    label.setText(lines.join('\n'));
    label.setToolTip(kept.empty() ? QString() : plainToolTip(paths.join('\n')));
    label.setVisible(!kept.empty());
}

} // namespace

CleanProcessViewController::CleanProcessViewController(QWidget* parent) : CleanProgressScreen(cleanSetup(), parent)
{
    setObjectName("CleanProcessViewController");
    lblDeceptiveAppItemsDeleted = addResultLine("lblDeceptiveAppItemsDeleted");
    lblYouNowHaveDeceptiveAppItems = addResultLine("lblYouNowHaveDeceptiveAppItems");
    lblKeptItems = addResultLine("lblKeptItems");
    lblKeptItems->hide();
}

void CleanProcessViewController::notificationUpdateValues(const platform::Notification& notification)
{
    for (const char* key : {"cleanedItems", "remainingItems", "pObj", "abortedIndex", "removedItems"})
        if (!notification.value<std::int64_t>(key))
            return;
    resetProgress();
    const std::int64_t removed = *notification.value<std::int64_t>("removedItems");
    const bool everythingRemoved = scanResults().update(keepWhatRemains);
    const std::int64_t remaining = totalItemCount(scanResults().snapshot());
    showWayOut(remaining < 1);
    lblDeceptiveAppItemsDeleted->setText(QString::fromStdString(
        std::to_string(removed) + " " + formatText(localizedText("IDS_BGX_85"), {itemWord(removed)})));
    lblYouNowHaveDeceptiveAppItems->setText(QString::fromStdString(
        formatText(localizedText("IDS_BGX_86"), {std::to_string(remaining), itemWord(remaining)})));
    const auto* kept = notification.value<std::vector<KeptItem>>("keptItems");
    showKeptItems(*lblKeptItems, kept ? *kept : std::vector<KeptItem>{});
    showCleanupStatus(everythingRemoved);
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
