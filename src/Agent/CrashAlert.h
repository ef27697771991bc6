#pragma once

#include "Agent/AlertWindow.h"
#include "Platform/Notifications/NotificationCenter.h"

#include <optional>
#include <string>
#include <vector>

class FlatButton;
class QComboBox;

// The crash alert: names the application whose crash report appeared, offers Scan
// Now, which asks the application to scan, and a snooze of further crash alerts.
// Filled by "NewCrashReport". Main thread only.
class CrashesViewController : public AlertWindow {
public:
    CrashesViewController();

    // Stores the chosen index under "SnoozeForBGX" and the moment under
    // "SnoozeForDateBGX"; the alert stays open.
    void clickedSnoozeFor(int index);
    // Stores the click date, launches the application and, when it runs, posts
    // "ObserveAGSQCrashReport"; then closes.
    void clickedScanNow();

    const std::optional<std::string>& path() const { return path_; }

    QLabel* lblAttention;
    QLabel* lblTitle;
    QLabel* lblSubTitle;
    FlatButton* btnScanNow;
    QLabel* lblYouMayAlsoCall;
    QLabel* lblPhoneNumber;
    QLabel* lblProductName;
    HandCursorButton* btnClose;
    QLabel* lblSnoozeFor;
    QComboBox* comboBoxSnoozeFor;

protected:
    // About to appear: resets a snooze that has run out, then shows the choices
    // with the stored one selected.
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void makeScanAndCall();
    void makeSnooze();
    void notificationUpdateUI(const platform::Notification& notification);

    std::optional<std::string> path_;
    platform::ObservationToken observer_;
};

// The five snooze choices in index order (none, 30 minutes, 1 hour, 12 hours,
// 24 hours), in the loaded text table's words.
std::vector<QString> snoozeOptions();

// The choice to show for what "SnoozeForBGX" holds: the stored index when it is
// one of the choices, else the first.
int shownSnoozeChoice();

// The crashed application's name from a crash report's file name
// ("Name_2020-01-31-101010_host.crash" gives "Name"); none without the pattern.
std::optional<std::string> crashedApplicationName(const std::string& reportPath);
