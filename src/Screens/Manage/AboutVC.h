#pragma once

#include "Platform/Notifications/NotificationCenter.h"
#include "Screens/Common/AppearingScreen.h"

#include <QWidget>

#include <functional>
#include <vector>

class HandCursorButton;
class HyperlinkTextField;
class QFrame;
class QLabel;
class QPushButton;

// The About panel, presented over the main window by the shared animator: the
// product's texts and version, three page links, the disclaimer box with two pages of
// the certification organisation, and a close button. Made anew for every showing:
// once it has left the window after its close, `released` runs (the screen factory
// empties its slot there). Its observers end with the close.
class AboutVC : public QWidget, public AppearingScreen {
public:
    explicit AboutVC(QWidget* parent = nullptr);

    QLabel* imgView;
    QLabel* lblTitle;
    QLabel* lblTPXHelpsYouFind;
    QLabel* lblCopyright;
    QLabel* lblAllRightsReserved;
    HyperlinkTextField* lblUnInstallInstructions;
    HyperlinkTextField* lblEULA;
    HyperlinkTextField* lblPrivacyPolicy;
    QLabel* lblVersion;
    QLabel* lblVersionCap;
    QLabel* lblWarningThisComputerProgramIsProtected;
    QFrame* box1Condition;
    QFrame* box2Condition;
    QPushButton* btnDisclaimer;
    QFrame* boxDisclaimer;
    QLabel* lblFirstLine;
    HandCursorButton* btnClickHereToLearnMoreAboutAppEsteem;
    QLabel* lblSecondLine;
    HandCursorButton* btnVisitDeceptorsAndHowToSpotThem;
    QPushButton* btnCloseDisclaimer;
    QPushButton* btnClose;

    std::function<void()> released;

    void viewWillAppear() override;
    void clickedDisclaimer();
    void clickedCloseDisclaimer();
    void clickedClickHereToLearnMoreAbout();
    void clickedVisitDeceptorsAndHowToSpotThem();
    void tappedClose();
    bool isClosed() const { return closed_; }

protected:
    bool event(QEvent* event) override;

private:
    void loadView();
    void viewDidLoad();
    QWidget* makeDisclaimerBox(QWidget* card);

    bool closed_ = false;
    std::vector<platform::ObservationToken> observers_;
};
