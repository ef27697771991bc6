#pragma once

#include "Platform/Notifications/NotificationCenter.h"
#include "Screens/Common/AppearingScreen.h"
#include "Screens/Common/LayoutConstant.h"
#include "Screens/Scan/OverviewSystemInfo.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class FlatButton;

// The home screen: the protection and definitions status, the count of removed
// applications, the last scan, Start Scan Now, and the system-information panel that
// slides in from the right. It hands every completed scan over to the results (its
// observer is in place from its load, whichever screen shows), and starts the scan of
// a launch as a login item when it first appears. Made once; main thread only.
class OverviewViewController : public QWidget, public AppearingScreen {
public:
    explicit OverviewViewController(QWidget* parent = nullptr);

    // Outlets.
    QFrame* boxgradient;
    QLabel* imgview_macos;
    QLabel* lblRemainingHarddrive;
    QLabel* lblraminstalled;
    QLabel* lblos;
    QLabel* lblversion;
    std::unique_ptr<LayoutConstant> boxsysteminfo_trailing; // -250 closed, 0 open
    QFrame* boxsysteminfo;
    QPushButton* btnSystemInfo;
    QLabel* lblProcessorInfo;
    QLabel* lblGrpahicsInfo;
    FlatButton* btnStartScanNow;
    QLabel* lblLastScanDate;
    QLabel* lblTotalDeceptiveAppsRemoved;
    QPushButton* btnDefinationStatusValue;
    QPushButton* btnActiveProtectionValue;
    QLabel* imgViewShield; // the attention shield while a status row needs attention
    QLabel* imgViewActiveProtectionStatus;
    QLabel* imgViewDefinationStatus;
    QLabel* lblWelcomeToBastionGuardpoin;
    QLabel* lblProtectYourSystemAgainst;
    QLabel* lblGiveYourPCAThroughScan;
    QLabel* lblAboutYourMac;
    QLabel* lblMacOS;
    QLabel* lblMemoryRam;
    QLabel* lblHardDrive;
    QLabel* lblProcessor;
    QLabel* lblGraphics;
    QLabel* lblActiveProtection;
    QLabel* lblDatabaseStatus;
    QLabel* lblDeceptorsCleaned;
    QFrame* boxGraphic;

    void viewWillAppear() override;
    void viewDidAppear() override;
    // Start Scan Now.
    QWidget* mainControl() override;

    // Protection, definitions and removed count from the settings.
    void updateAGSQStatus();
    // "NotifyScanProcessCompleteBGX": the found records become the result rows.
    void observeScanProcessComplete(const platform::Notification& notification);
    void clickedStartScanNow();
    void clickedActiveProtectionStatus();
    void clickedDatabaseStatus();
    // Opens or closes the system-information panel with a 0.2-second push.
    void btnsystemInfoClicked();

    // The load's system-information steps, each from the values given.
    void showVersion(const OperatingSystemVersion& version);
    // The table's release name and picture for the system it describes; any other
    // system's own name with the default picture.
    void showRelease(const OperatingSystem& system);
    void showMemory(double bytes);
    void showDisk(std::optional<double> volumeSize);
    void showHardware(const std::optional<std::string>& profilerOutput);

private:
    void loadView();
    void viewDidLoad();
    void styleBoxes();
    void showSystemInformation();
    void setCaptions();
    void showLastScanDate();
    void showStatusInHeader();
    void placeSystemInfoPanel(double trailingConstant);
    void resizeEvent(QResizeEvent* event) override;

    std::vector<platform::ObservationToken> observers_;
};
