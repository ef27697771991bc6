#pragma once

#include "Screens/Common/CleanProgressScreen.h"

#include <functional>

class QLabel;
class StartupItemsModel;

// The progress and result of deleting the selected startup items. The result counts
// what the removal reports as deleted, and what the startup-items lists hold now, and
// says why any item was not deleted.
// Review and Home lead back to the list, reloaded.
class CleanProcessStartupItemsViewController : public CleanProgressScreen {
public:
    // The startup-items lists whose sizes the result shows: the screen factory's list.
    using ListsModel = std::function<const StartupItemsModel&()>;

    explicit CleanProcessStartupItemsViewController(ListsModel lists, QWidget* parent = nullptr);

    void clickedReviewApps() override;
    void clickedHome() override;

    QLabel* lblLoginNLaunchAgentItemsDeleted = nullptr;
    QLabel* lblYouNowHaveLoginItemsItems = nullptr;
    QLabel* lblYouNowHaveLaunchAgentItems = nullptr;
    QLabel* lblRemovalFailures = nullptr; // hidden while every item was deleted

protected:
    void notificationUpdateValues(const platform::Notification& notification) override;

private:
    void showFailures(const platform::Notification& notification);

    ListsModel lists_;
};
