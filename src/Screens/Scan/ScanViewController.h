#pragma once

#include "Foundation/IndexVocabularies.h"
#include "Platform/Notifications/NotificationCenter.h"
#include "Screens/Common/AppearingScreen.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

// The Scan entry's screen: a container showing one of the three scan children
// (progress, results, clean progress), switched by "ScanViewUpdateBGX" with a
// ScanMenu value under "menu". On arrival it shows the results already there, or the
// progress screen with a new scan. Made once; main thread only.
class ScanViewController : public QWidget, public AppearingScreen {
public:
    // The child screen of a value: the screen factory's kept instances.
    using ChildScreens = std::function<QWidget&(ScanMenu)>;

    explicit ScanViewController(ChildScreens childScreens, QWidget* parent = nullptr);

    QPointer<QWidget> containerView;

    // The first step: unless the clean-progress child is on show, the results when
    // there are any, else (no startup-items confirmation open) the progress child and
    // a scan.
    void viewWillAppear() override;
    // The main control of the child on show.
    QWidget* mainControl() override;
    void updateFirstStep();
    // "ScanViewUpdateBGX": shows the child named by a ScanMenu "menu" value; any other
    // value, a plain number included, is ignored.
    void notificationSetView(const platform::Notification& notification);
    void showChild(ScanMenu menu);

private:
    ChildScreens childScreens_;
    std::vector<platform::ObservationToken> observers_;
};
