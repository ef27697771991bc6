#pragma once

#include "Platform/Notifications/NotificationCenter.h"

#include <QLabel>
#include <QWidget>

#include <string>

// A plain alert window that lists the userInfo of the last notification of its
// name, one "key: value" line each. It observes from the moment it is made.
class PayloadWindow : public QWidget {
public:
    explicit PayloadWindow(const std::string& notificationName);

    QString payloadText() const { return payload_->text(); }

private:
    void notificationUpdateUI(const platform::Notification& notification);

    QLabel* payload_;
    platform::ObservationToken observer_;
};
