#pragma once

#include "Agent/AlertWindowBase.h"
#include "Detection/Records.h"
#include "Platform/Notifications/NotificationCenter.h"

#include <optional>
#include <string>
#include <vector>

class FlatButton;
class QPushButton;

// The download alert: a download that matches a signature record, its details,
// and Delete (to the Trash or for good), Ignore This App and Close. Filled by
// "NewDownloadedItem". Main thread only.
class DownloadProtectionViewController : public AlertWindow {
public:
    // btnDelete's tag: the item is there and Delete removes it, or it was removed
    // and the same button closes the alert.
    enum DeleteState { itemPresent = 1, itemRemoved = 2 };

    DownloadProtectionViewController();

    void clickedDelete();
    void clickedIgnoreThisApp();

    const std::optional<std::string>& path() const { return path_; }
    int deleteState() const { return deleteState_; }

    HandCursorButton* btnClose;
    QLabel* lblAttention;
    QLabel* lblMessage;
    QLabel* lblSubMessage;
    FlatButton* btnDelete;
    QLabel* lblAppName;
    QPushButton* btnIgnoreThisApp;
    QLabel* lblAppNameValue;
    BadgeLabel* lblThreatValue;
    QLabel* lblCompanyValue;
    QLabel* lblVersionValue;
    ElidingLabel* lblPathValue;
    QLabel* lblDetailsCaps;
    QLabel* lblAppCaps;
    QLabel* lblThreatCaps;
    QLabel* lblCompanyCaps;
    QLabel* lblVersionCaps;
    QLabel* lblPathCaps;

protected:
    // Every close (Close, Ignore This App, Delete once removed) takes each path the
    // alert has shown since it opened off the list of alerted downloads.
    void closeEvent(QCloseEvent* event) override;

private:
    void makeDetails();
    QWidget* makeThreatBadge(QWidget* panel);
    void makeButtons();
    void notificationUpdateUI(const platform::Notification& notification);
    void fillDetails(const MalwareList& record);
    void showState(DeleteState state);
    bool removeItem(const std::string& path) const;

    std::optional<std::string> path_;
    std::vector<std::string> shownPaths_;
    DeleteState deleteState_ = itemPresent;
    platform::ObservationToken observer_;
};

// The publishers and the versions of a record's publisher rows, each joined by
// ", " in row order; rows without the value are skipped.
struct PublisherTexts {
    std::string company;
    std::string version;
};
PublisherTexts publisherTexts(const MalwareList& record);
