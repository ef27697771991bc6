#pragma once

#include "Platform/Sparkle/SUUserDriver.h"

#include <QDialog>

#include <functional>

class FlatButton;
class QLabel;
class QProgressBar;

// The updater's one window for a check the user asked for, in the product's dark
// look: checking (Cancel), up to date, a new version (Install / Later), downloading
// with its progress (Cancel), ready to install on quit, or the failure with the
// updater's own text. Escape and closing answer as the window's secondary button.
// Main thread only.
class UpdaterWindow : public QDialog, public platform::SUUserDriver {
public:
    explicit UpdaterWindow(QWidget* parent = nullptr);

    void showCheckingForUpdates(std::function<void()> cancel) override;
    void showUpToDate() override;
    void showUpdateFound(const platform::SUAppcastItem& item, std::function<void(bool install)> reply) override;
    void showDownloading(std::uint64_t received, std::uint64_t expected, std::function<void()> cancel) override;
    void showReadyToInstallOnQuit(const platform::SUAppcastItem& item) override;
    void showUpdaterError(const platform::SUError& error) override;
    void bringToFront() override;

    void reject() override;

    QLabel* lblHeadline = nullptr;
    QLabel* lblDetail = nullptr;
    QLabel* lblNote = nullptr; // the updater's own words on a failure
    QProgressBar* progressBar = nullptr;
    FlatButton* btnPrimary = nullptr;   // Install or OK; hidden when there is one choice
    FlatButton* btnSecondary = nullptr; // Cancel, Later or OK

private:
    // One state of the window: its texts, whether the bar shows, and the buttons'
    // titles and answers (an empty primary title hides that button).
    struct Step {
        QString headline;
        QString detail;
        QString note;
        bool progress = false;
        QString secondaryTitle;
        std::function<void()> secondary;
        QString primaryTitle;
        std::function<void()> primary;
    };
    void present(Step step);
    void answer(std::function<void()>& chosen);

    std::function<void()> primary_;
    std::function<void()> secondary_;
};

// Makes every updater show its user's checks in an UpdaterWindow. Called once at
// start-up, after the application object exists.
void installUpdaterWindows();
