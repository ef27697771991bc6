#pragma once

#include "Platform/Notifications/NotificationCenter.h"

#include <QWidget>

#include <array>
#include <memory>

enum class AlertKind { startupItem, download, crash };

// The agent's alert windows: one a kind, made from the agent's storyboard at the
// kind's first alert and shown again, with the new content, for every later one;
// closing a window keeps it for the next alert. Main thread only.
class AlertWindows {
public:
    // The kind's window, made at first use; null when the storyboard lacks it.
    QWidget* windowController(AlertKind kind);

    // Shows the kind's window, then posts the kind's notification with `userInfo`,
    // so the window observes by the time the post is delivered. Nothing is posted
    // when the window cannot be made.
    void showAlert(AlertKind kind, platform::UserInfo userInfo);

private:
    std::array<std::unique_ptr<QWidget>, 3> windows_;
};

// The alert step of a triage, queued on the main queue: showAlert, unless the
// windows have ended by then.
void raiseAlertOnMainQueue(std::weak_ptr<AlertWindows> windows, AlertKind kind, platform::UserInfo userInfo);
