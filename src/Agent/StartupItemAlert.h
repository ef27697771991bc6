#pragma once

#include "Agent/AlertWindowBase.h"
#include "Platform/Notifications/NotificationCenter.h"

class FlatButton;

// The startup-item alert: names a new launch agent, launch daemon or login item
// and offers Manage Now, which hands the user over to the application's startup
// items, and Close. Filled by "NewStartupItem". Main thread only.
class ViewControllerRT : public AlertWindow {
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

private:
    void notificationUpdateUI(const platform::Notification& notification);

    platform::ObservationToken observer_;
};
