#include "Screens/Manage/CleanProcessStartupItemsViewController.h"

#include "Foundation/IndexVocabularies.h"
#include "Foundation/SharedState.h"
#include "Foundation/TextTable.h"
#include "Screens/Common/TextFormat.h"
#include "Screens/Manage/UnsavedSettingSheet.h"
#include "Startup/StartupItemsModel.h"

#include <QLabel>

namespace {

CleanProgressSetup startupItemsSetup()
{
    return {"CleanViewUpdate_StartupItemsBGX",
            "NotifyCleanProcessComplete_StartupItemsBGX",
            "NotifyCleanProcess_StartupItemsBGX",
            "IDS_BGX_78",
            "IDS_BGX_79",
            "IDS_BGX_80",
            "IDS_BGX_89",
            &isStartupItemsCleanPaused,
            &isStartupItemsCleanAborted};
}

QString countLine(const char* key, std::size_t count)
{
    const auto n = static_cast<std::int64_t>(count);
    return QString::fromStdString(formatText(localizedText(key), {std::to_string(n), CleanProgressScreen::itemWord(n)}));
}

} // namespace

CleanProcessStartupItemsViewController::CleanProcessStartupItemsViewController(ListsModel lists, QWidget* parent)
    : CleanProgressScreen(startupItemsSetup(), parent), lists_(std::move(lists))
{
    setObjectName("CleanProcessStartupItemsViewController");
    lblLoginNLaunchAgentItemsDeleted = addResultLine("lblLoginNLaunchAgentItemsDeleted");
    lblYouNowHaveLoginItemsItems = addResultLine("lblYouNowHaveLoginItemsItems");
    lblYouNowHaveLaunchAgentItems = addResultLine("lblYouNowHaveLaunchAgentItems");
    lblRemovalFailures = addResultLine("lblRemovalFailures");
    lblRemovalFailures->setTextFormat(Qt::PlainText); // labels and paths are outside texts
    lblRemovalFailures->hide();
}

void CleanProcessStartupItemsViewController::notificationUpdateValues(const platform::Notification& notification)
{
    for (const char* key : {"cleanedItems", "remainingItems", "pObj", "abortedIndex"})
        if (!notification.value<std::int64_t>(key))
            return;
    const bool* isLoginItems = notification.value<bool>("isLoginItems");
    if (!isLoginItems)
        return;
    const std::int64_t cleaned = *notification.value<std::int64_t>("cleanedItems");
    const std::int64_t removed = *notification.value<std::int64_t>("pObj");
    resetProgress();
    const StartupItemsModel& model = lists_();
    showWayOut(model.loginItems().size() + model.launchAgents().size() < 1);
    lblLoginNLaunchAgentItemsDeleted->setText(QString::fromStdString(
        std::to_string(removed) + " "
        + formatText(localizedText(*isLoginItems ? "IDS_BGX_199" : "IDS_BGX_200"), {itemWord(removed)})));
    lblYouNowHaveLoginItemsItems->setText(countLine("IDS_BGX_201", model.loginItems().size()));
    lblYouNowHaveLaunchAgentItems->setText(countLine("IDS_BGX_202", model.launchAgents().size()));
    showCleanupStatus(removed >= cleaned);
    showFailures(notification);
}

// Why items were not deleted, under the counts; a switched-off record that could not
// be dropped is told as every unsaved setting is.
void CleanProcessStartupItemsViewController::showFailures(const platform::Notification& notification)
{
    const std::string* reasons = notification.value<std::string>("failures");
    lblRemovalFailures->setText(reasons ? QString::fromStdString(*reasons) : QString());
    lblRemovalFailures->setVisible(!lblRemovalFailures->text().isEmpty());
    if (const bool* unsaved = notification.value<bool>("recordsUnsaved"); unsaved && *unsaved)
        showUnsavedSettingSheet(*this);
}

void CleanProcessStartupItemsViewController::clickedReviewApps()
{
    auto& center = platform::NotificationCenter::defaultCenter();
    center.post("StartupItemsViewUpdateBGX", {{menuKey, StartupItemsState::viewStartupItems}});
    center.post("ReloadStartupItemsBGX");
    isCleanInProgress = false;
}

void CleanProcessStartupItemsViewController::clickedHome()
{
    clickedReviewApps();
}
