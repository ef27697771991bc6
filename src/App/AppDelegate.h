#pragma once

#include "Platform/Defaults/FileLock.h"
#include "Platform/Notifications/DistributedNotificationCenter.h"
#include "Platform/Sparkle/SUUpdater.h"

#include <QAction>
#include <QPointer>

#include <string>
#include <vector>

// The application's delegate: the launch sequence (defaults, the agent and its launch
// agent, the shipped database, the campaign file, updates, the link to the agent,
// analytics, the main window), the login-item step, the menu commands and reopen,
// and the updater's delegate. One per process, living as long as it.
class AppDelegate : public platform::SUUpdaterDelegate {
public:
    // The one delegate of the process (made by main).
    static AppDelegate& shared();

    QPointer<QAction> menuItemShowBGX;
    QPointer<QAction> menuItemAbout;
    QPointer<QAction> menuItemCheckForUpdate;
    platform::SUUpdater* updater = nullptr;

    void applicationWillFinishLaunching();
    void applicationDidFinishLaunching();
    bool applicationShouldHandleReopen(bool hasVisibleWindows);
    void applicationWillTerminate();
    void applicationDidBecomeActive();
    bool validateMenuItem(const QAction* menuItem) const;
    void tappedAbout();
    void showBGX();

    // The agent and its launch agent.
    void installLaunchAgent();

    // The link to the agent; a later call replaces the earlier one's observers.
    void observeAgent();
    void observerAGSQ();
    void observerAGSQCrashes();
    void showStartupItemsFromAgent();
    void scanRunningFromCrashes();

    // Application updates.
    void setUpUpdates();
    void checkForUpdate();
    void autoInstallUpdates();
    void callTerminate();
    void updaterWillDownloadUpdate(platform::SUUpdater& updater, const platform::SUAppcastItem& item,
                                   const std::string& request) override;
    void updaterDidDownloadUpdate(platform::SUUpdater& updater, const platform::SUAppcastItem& item) override;

private:
    [[nodiscard]] platform::FileLock stopRunningAgent();
    void replaceInstalledAgent();
    void installShippedDatabase();
    void prepareCampaignFile();
    void recordInstallDate();
    bool recordReleaseAndSendAnalytics(); // false on the first run
    void scheduleUpdateCheck();
    void startDefinitionsJob();
    void showMainWindow();
    void sayThatSettingsCannotBeRead();

    std::vector<platform::ObservationToken> agentObservers_;
    // The settings file is there but cannot be read: what the stored settings decide
    // is not known, so the launch changes none of it.
    bool settingsUnknown_ = false;
    bool startupItemsRequested_ = false;
};

// "IsPopUpBGX" holds a Boolean true: a panel is presented over the main window.
bool isPopUpShown();

// The relaunch command: "/bin/sh" and its arguments, the bundle path and the
// application's instance lock passed to the shell as arguments of their own. The
// shell opens the bundle once the quitting application has ended (its lock free),
// or after a minute at the most.
std::vector<std::string> relaunchArguments(const std::string& bundlePath, const std::string& instanceLockPath);
