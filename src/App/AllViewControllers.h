#pragma once

class AboutVC;
class CleanProcessStartupItemsViewController;
class CleanProcessViewController;
class GeneralSettingsViewController;
class IgnoreListViewController;
class InitialWindowController;
class OverviewViewController;
class ProtectionViewController;
class ScanProcessViewController;
class ScanResultViewController;
class ScanViewController;
class SettingsViewController;
class StartupItemsViewController;
class StartupMangerViewController;
class UpdateSettingsViewController;

// The one place where the main window and the screens are made: each from its
// storyboard by identifier at its first request, the same instance afterwards. Only
// About is made anew after it has closed. Main thread only.
class AllViewControllers {
public:
    static InitialWindowController& initialWindowController();
    static OverviewViewController& overviewViewController();
    static ScanViewController& scanViewController();
    static ProtectionViewController& protectionViewController();
    static StartupMangerViewController& startupMangerViewController();
    static SettingsViewController& settingsViewController();
    static ScanProcessViewController& scanProcessViewController();
    static ScanResultViewController& scanResultViewController();
    static CleanProcessViewController& cleanProcessViewController();
    static StartupItemsViewController& startupItemsViewController();
    static CleanProcessStartupItemsViewController& cleanProcessStartupItemsViewController();
    static GeneralSettingsViewController& generalSettingsViewController();
    static UpdateSettingsViewController& updateSettingsViewController();
    static IgnoreListViewController& ignoreListViewController();
    static AboutVC& about();

    // Whether the main window has been made yet.
    static bool hasInitialWindowController();
    // Empties About's slot once the panel is dismissed; the next request makes a new one.
    static void releaseAbout();
    // Deletes the main window and every screen made so far, each once; the next request
    // of each makes it anew, as in a new process.
    static void releaseAll();
};
