#pragma once

#include "Agent/AlertLabels.h"
#include "Agent/QueuedAlertWindow.h"
#include "Detection/Clean.h"
#include "Detection/Records.h"
#include "Platform/Notifications/NotificationCenter.h"

#include <optional>
#include <string>

class FlatButton;
class QPushButton;

// A download that matched a signature record, as the alert is handed it. One
// path is one alert: a second hit on it is the same alert.
struct DownloadHit {
    std::string path;
    std::optional<MalwareList> record;
    bool operator==(const DownloadHit& other) const { return path == other.path; }
};

// The download alert: a download that matches a signature record, its details,
// and Delete (to the Trash or for good), Ignore This App and Close (both only
// dismiss it). Filled by "NewDownloadedItem"; hits that come while one is shown
// wait their turn and are shown one after another. Main thread only.
class DownloadProtectionViewController : public QueuedAlertWindow<DownloadHit> {
public:
    // btnDelete's tag: the item is there and Delete removes it, or it was removed
    // and the same button closes the alert.
    enum DeleteState { itemPresent = 1, itemRemoved = 2 };

    DownloadProtectionViewController();

    void clickedDelete();
    void clickedIgnoreThisApp();

    std::optional<std::string> path() const;
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
    // A hit without its record keeps the labels as they are.
    void showItem(const DownloadHit& hit) override;
    // Every close (Close, Ignore This App, Delete once removed) takes the shown
    // path off the list of alerted downloads.
    void dismissed(const DownloadHit& hit) override;

private:
    void makeDetails();
    QWidget* makeThreatBadge(QWidget* panel);
    void makeButtons();
    void notificationUpdateUI(const platform::Notification& notification);
    void fillDetails(const MalwareList& record);
    void showState(DeleteState state);
    // Removes the item as Delete does; what was kept and why when it is still there.
    std::optional<KeptItem> removeItem(const std::string& path) const;

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
