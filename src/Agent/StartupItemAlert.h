#pragma once

#include "Agent/AlertLabels.h"
#include "Agent/QueuedAlertWindow.h"
#include "Platform/Notifications/NotificationCenter.h"

#include <string>

class FlatButton;

// A new startup item as the alert is handed it: its path or name, and its kind.
struct NewStartupItem {
    std::string item;
    std::string startupType;
    bool operator==(const NewStartupItem&) const = default;
};

// The startup-item alert: names a new launch agent, launch daemon or login item
// and offers Manage Now, which hands the user over to the application's startup
// items, and Close. Filled by "NewStartupItem"; items that come while one is shown
// wait their turn and are shown one after another. Main thread only.
class ViewControllerRT : public QueuedAlertWindow<NewStartupItem> {
public:
    ViewControllerRT();

    // Stores the click date, launches the application and, when it runs, posts
    // "ObserveAGSQ"; then closes.
    void clickedManageNow();

    HandCursorButton* btnClose;
    QLabel* lblAttention;
    QLabel* lblMessage;
    QLabel* lblSubMessage;
    FlatButton* btnManageNow;
    QLabel* lblAppName;
    ElidingLabel* lblStartupItem;
    QLabel* lblNewStartupItem;

protected:
    void showItem(const NewStartupItem& item) override;

private:
    void notificationUpdateUI(const platform::Notification& notification);

    platform::ObservationToken observer_;
};
