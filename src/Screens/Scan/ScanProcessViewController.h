#pragma once

#include "Platform/Notifications/NotificationCenter.h"
#include "Screens/Common/AppearingScreen.h"
#include "Screens/Common/ThrottledRepaint.h"

#include <QLabel>
#include <QProgressBar>
#include <QWidget>

#include <cstdint>
#include <vector>

class FlatButton;

// The scan container's progress child: follows the scan through "NotifyScanProcessBGX"
// (findings, path, files looked at, percentage; a file count of -1 while the
// definitions are checked) and resets on "NotifyScanProcessCompleteBGX". Stop pauses
// the scan and asks over the dimmed window whether to stop it (first button) or go
// on. A scan that could not read its definitions (a completion with "isScanCompleted"
// false) leaves the screen saying so under the attention shield, without the bar, with
// Home and Rescan in place of Stop until the next scan's progress. The screen keeps the
// latest progress and shows it at most every ThrottledRepaint::interval (one post comes
// per file), and at the completion. Made once; main thread only.
class ScanProcessViewController : public QWidget, public AppearingScreen {
public:
    explicit ScanProcessViewController(QWidget* parent = nullptr);

    // Stop while it shows; Rescan after an incomplete scan; else the bar.
    QWidget* mainControl() override;

    // Outlets.
    QLabel* imgViewScanning; // the product's shield; the attention shield on an incomplete scan
    QLabel* lblScanningForDeceptiveApps;
    QLabel* lblTotalItemsFound;
    QProgressBar* progressIndicator; // 0 to 100
    QLabel* lblPath;
    QLabel* lblObjectScanned;
    FlatButton* btnStopScan;
    QWidget* boxScanIncomplete; // Home and Rescan
    FlatButton* btnHome;
    FlatButton* btnRescan;

    void observeScanProcess(const platform::Notification& notification);
    void observeScanProcessComplete(const platform::Notification& notification);
    void clickedStopScan();
    void clickedHome();
    void clickedRescan();

private:
    void loadView();
    QWidget* buildActions();
    void viewDidLoad();
    void resetProgress();
    // The state's controls: Stop while the scan can be stopped, the bar while it runs,
    // Home and Rescan after an incomplete scan. When the main control changes, the
    // keyboard on the screen goes to the new one.
    void showState(bool incomplete, bool stoppable);
    QWidget* mainControlOf(bool incomplete, bool stoppable) const;
    void showLatestProgress();

    // The latest progress post's values; the path is the latest one that was not empty.
    struct Progress {
        std::int64_t totalFound = 0;
        QString path;
        std::int64_t objectsScanned = 0;
        double percentage = 0;
    };
    Progress latest_;
    ThrottledRepaint repaint_{[this] { showLatestProgress(); }};

    std::vector<platform::ObservationToken> observers_;
};
