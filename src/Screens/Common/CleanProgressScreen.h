#pragma once

#include "Platform/Notifications/NotificationCenter.h"
#include "Screens/Common/AppearingScreen.h"
#include "Screens/Common/ThrottledRepaint.h"

#include <QWidget>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class FlatButton;
class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QVBoxLayout;
class RecommendedAppsPanel;

// What sets one removal's progress screen apart: the three notifications it follows,
// the texts of its progress heading, Review button, review invitation and running
// count, and the two flags through which its Stop steers the removal's worker.
struct CleanProgressSetup {
    const char* boxSwitchName;       // userInfo "menu": CleanMenu
    const char* completionName;      // handled by the subclass
    const char* progressName;        // "totalItems", "pObj" (Int), "path" (text), "percentage" (Double)
    const char* headingKey;          // lblCleanningForDeceptiveApps
    const char* reviewTitleKey;      // btnReviewApps
    const char* reviewInvitationKey; // lblReviewRemainingDeceptiveAppItems
    const char* countWordKey;        // the word before the running count in lblObjectCleaned
    std::atomic<bool>* paused;       // the worker waits while it is set
    std::atomic<bool>* aborted;      // the worker stops before its next item when set
};

// The progress-and-result screen of a removal, shared by the clean of detected
// applications and the removal of startup items. Two boxes in one place:
//  - progress (boxCleanProcess): heading, bar, path being removed, running count, Stop;
//  - result (boxCleanResult): status, the subclass's result lines (addResultLine),
//    review invitation with Review, or Home, the recommended-apps panel and the two
//    social pages.
// What the base does:
//  - at construction: builds both boxes, sets the fixed texts, shows progress, hides
//    Home, clears isCleanInProgress, and observes the setup's box switch, completion and
//    progress notifications, in that order;
//  - box switch: CleanMenu::result shows the result box, CleanMenu::process the
//    progress box; both clear isCleanInProgress; a "menu" of another type is ignored;
//  - progress: path, bar (percentage of 100) and "<count word> pObj/totalItems", of the
//    latest notice, shown at most every ThrottledRepaint::interval and before the
//    completion; a notice lacking a value or with one of another type is ignored;
//  - viewWillAppear: chooses the recommended app, sets the per-screen texts;
//  - Stop: sets the paused flag, asks over the dimming overlay (texts 220, 92, 56, 57);
//    the first button sets the aborted flag; either answer clears the pause;
//  - Download, Twitter and Facebook open their pages through the desktop actions.
// A subclass implements the completion (with resetProgress, showWayOut,
// showCleanupStatus, itemWord) and Review and Home. Main thread only; made once and
// kept for the process.
class CleanProgressScreen : public QWidget, public AppearingScreen {
public:
    ~CleanProgressScreen() override;

    void viewWillAppear() override;
    // Stop while the removal runs; then Review, or Home.
    QWidget* mainControl() override;

    void clickedStopClean();
    virtual void clickedReviewApps() = 0;
    virtual void clickedHome() = 0;
    void clickedDownloadNow();
    void clickedFacebook();
    void clickedTwitter();

    // "IDS_BGX_44" when count is 1, else "IDS_BGX_43".
    static std::string itemWord(std::int64_t count);

    QLabel* lblCleanningForDeceptiveApps = nullptr;
    QProgressBar* progressIndicator = nullptr; // 0 to 100
    QLabel* lblPath = nullptr;
    QLabel* lblObjectCleaned = nullptr;
    FlatButton* btnStopClean = nullptr;
    QFrame* boxCleanProcess = nullptr;
    QFrame* boxCleanResult = nullptr;
    QLabel* lblFollowUs = nullptr;
    QPushButton* btnTwitter = nullptr;
    QPushButton* btnFacebook = nullptr;
    QLabel* lblTwitter = nullptr;
    QLabel* lblFacebook = nullptr;
    QLabel* imgViewFacebook = nullptr;
    QLabel* imgViewTwitter = nullptr;
    QLabel* lblCleanupStatus = nullptr;
    QLabel* lblReviewRemainingDeceptiveAppItems = nullptr;
    FlatButton* btnReviewApps = nullptr;
    RecommendedAppsPanel* boxRecommendedApp = nullptr;
    FlatButton* btnHome = nullptr;

    // When true (always: nothing clears it) each showing chooses the recommended app.
    bool isCleaningProcess = true;

protected:
    CleanProgressScreen(const CleanProgressSetup& setup, QWidget* parent);

    // A result line below the status heading, in the order added.
    QLabel* addResultLine(const char* name);

    // The completion notice of the setup's completionName.
    virtual void notificationUpdateValues(const platform::Notification& notification) = 0;

    // The progress display as a notice with both counts 0 leaves it: no path, empty
    // bar, "<count word> 0/0".
    void resetProgress();
    // Home alone when nothing remains, else the invitation and Review.
    void showWayOut(bool nothingRemaining);
    // The status heading and its icon: "IDS_BGX_74" when everything asked for was
    // removed, else "IDS_BGX_88".
    void showCleanupStatus(bool everythingRemoved);

private:
    void buildProgressBox();
    void buildResultBox();
    QWidget* makeSocialLinks();
    void notifyCleanProcess(const platform::Notification& notification);
    void notificationSetView(const platform::Notification& notification);
    void showRunningCount(std::int64_t removed, std::int64_t total);
    void showLatestProgress();
    // Review, or Home when nothing remains.
    FlatButton* wayOut() const;
    // The result (status and result lines) as the description of Review and Home, so
    // that a reader says it with the button that takes the keyboard.
    void describeOutcome();

    CleanProgressSetup setup_;
    // The latest progress notice's values.
    struct Progress {
        std::int64_t total = 0;
        std::int64_t removed = 0;
        QString path;
        double percentage = 0;
    };
    Progress latest_;
    ThrottledRepaint repaint_{[this] { showLatestProgress(); }};
    QVBoxLayout* resultLines_ = nullptr;
    QLabel* statusIcon_ = nullptr;
    std::vector<platform::ObservationToken> observers_;
};
