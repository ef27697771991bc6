#pragma once

#include "Platform/Notifications/NotificationCenter.h"
#include "Screens/Common/AppearingScreen.h"

#include <QWidget>

#include <array>

class QLabel;
class ToggleSwitch;

// The real-time protection switches: active protection (downloads) and startup
// protection (new startup items). Each switch is a suite Boolean that the agent reads
// at every event; nothing else reaches the agent. A switch that could not be stored
// goes back to the stored state.
class ProtectionViewController : public QWidget, public AppearingScreen {
public:
    explicit ProtectionViewController(QWidget* parent = nullptr);

    ToggleSwitch* btnActiveProtection;
    ToggleSwitch* btnStartupProtection;
    QLabel* lblEnableDisableActiveProtection;
    QLabel* lblEnableDisableStartupProtection;
    QLabel* lblTitleRealTimeProtection;
    QLabel* lblSubTitleRealTimeProtection;
    QLabel* lblActiveProtection;
    QLabel* lblRealTimeProtectionAgainst;
    QLabel* lblStartupProtection;
    QLabel* lblInstantlyPreventApplications;

    void viewWillAppear() override;
    // Shows the stored state on both switches and captions.
    void stateUpdateRealTimeProtection();
    // The handler of "toggleprotection": stores the switch's new state; when that
    // fails, the switch shows the stored state again and a sheet says so.
    void btnToggleClicked(const platform::Notification& notification);

private:
    // A switch with its state caption and its suite key.
    struct ProtectionSwitch {
        ToggleSwitch* toggle;
        QLabel* caption;
        const char* key;
    };
    std::array<ProtectionSwitch, 2> switches() const;
    static void showState(const ProtectionSwitch& shown, bool on);
    void loadView();
    void viewDidLoad();

    platform::ObservationToken toggleObserver_;
};
