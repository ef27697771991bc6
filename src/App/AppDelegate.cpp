#include "App/AppDelegate.h"

#include "App/AllViewControllers.h"
#include "App/BusyState.h"
#include "App/FileInstall.h"
#include "App/LowerCased.h"
#include "App/InitialWindowController.h"
#include "App/LaunchEvent.h"
#include "Controls/BundleVersion.h"
#include "Detection/DatabaseManager.h"
#include "Foundation/Analytics.h"
#include "Foundation/BundlePaths.h"
#include "Foundation/SharedState.h"
#include "Foundation/Settings.h"
#include "Foundation/TextTable.h"
#include "Foundation/UserPaths.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Notifications/NotificationCenter.h"
#include "Platform/Root/PlatformRoot.h"
#include "Screens/Common/ConfirmationSheet.h"
#include "Startup/LaunchOnStartup.h"


#include <algorithm>
#include <charconv>
#include <filesystem>

namespace fs = std::filesystem;
namespace K = SettingsKey;
using namespace std::chrono_literals;

namespace {

// The settings written at each launch when absent, in this order.
constexpr const char* launchDefaultKeys[] = {
    K::launchAutomatically,       K::scanOnAutoLaunch,           K::moveDeletedToTrash,
    K::automaticallyUpdateDefinitions, K::automaticallyUpdateBG, K::isActiveProtectionEnabled,
    K::isStartupProtectionEnabled, K::isDefinitionsAreUpToDate,  K::isPopUp,
    K::definitionsNewVersion,     K::definitionsOldVersion,      K::isCrashesProtectionEnabled,
};

constexpr auto updateCheckDelay = 5s;
constexpr const char* installerCampaignFile = "/Applications/Bastion Guardpoint.app/Contents/track.plist";

void writeLaunchDefaults()
{
    for (const char* key : launchDefaultKeys) {
        const SettingsKeyInfo* info = settingsKeyInfo(key);
        platform::UserDefaults* store = settingsStore(info->store);
        if (store && !store->object(key))
            store->setObject(key, info->startupDefault);
    }
    standardDefaults().setBool(K::isPopUp, false);
}

void createSupportFolder()
{
    std::error_code ignored;
    fs::create_directories(fs::path(databasePath()).parent_path(), ignored);
}

bool exists(const std::string& path)
{
    std::error_code ignored;
    return fs::exists(path, ignored);
}

// A version that parses whole as one 32-bit floating-point number.
std::optional<float> versionNumber(const std::string& version)
{
    float number = 0;
    const auto [end, error] = std::from_chars(version.data(), version.data() + version.size(), number);
    if (error != std::errc() || end != version.data() + version.size() || version.empty())
        return std::nullopt;
    return number;
}

} // namespace

AppDelegate& AppDelegate::shared()
{
    static AppDelegate delegate;
    return delegate;
}

bool isPopUpShown()
{
    return standardDefaults().boolean(K::isPopUp).value_or(false);
}

void AppDelegate::applicationWillFinishLaunching()
{
    settingsUnknown_ = !standardDefaults().isReadable();
    writeLaunchDefaults();
    {
        const platform::FileLock agentPlace = stopRunningAgent();
        createSupportFolder();
        replaceInstalledAgent();
    }
    installShippedDatabase();
    prepareCampaignFile();
    recordInstallDate();
    installLaunchAgent();
    setUpUpdates();
    observeAgent();
    initAnalyticsGlobals();
    if (recordReleaseAndSendAnalytics())
        scheduleUpdateCheck();
    showMainWindow();
    if (settingsUnknown_)
        sayThatSettingsCannotBeRead();
}

void AppDelegate::sayThatSettingsCannotBeRead()
{
    const AlertContent alert{localizedText("IDS_BGX_274"), localizedText("IDS_BGX_275"), {localizedText("IDS_BGX_170")}};
    beginSheet(*AllViewControllers::initialWindowController().window(), alert, [](int) {});
}

void AppDelegate::installShippedDatabase()
{
    const std::string& installed = databasePath();
    const std::string shipped = bundledDatabasePath();
    if (exists(installed)) {
        if (!exists(shipped))
            return;
        DatabaseManager& manager = DatabaseManager::shared();
        if (!(manager.getVersion(shipped) > manager.getVersion(installed)))
            return;
    }
    if (const auto error = installFileCopy(shipped, installed))
        printFailure("", *error);
    else
        standardDefaults().setObject(K::definitionLastUpdatedOnDate, platform::Date(std::chrono::system_clock::now()));
}

void AppDelegate::prepareCampaignFile()
{
    if (!exists(legacyTrackingPlistPath())) {
        createTrackingPlist();
        return;
    }
    if (const auto error = installFileCopy(legacyTrackingPlistPath(), trackingPlistPath()))
        printFailure("", *error);
}

// At the first launch the installer's campaign file, when the installed application
// carries one, replaces the campaign file of the support folder.
void AppDelegate::recordInstallDate()
{
    if (settingsUnknown_ || standardDefaults().date(K::appInstalledDate))
        return;
    standardDefaults().setObject(K::appInstalledDate, platform::Date(std::chrono::system_clock::now()));
    createSupportFolder();
    const std::string installerFile = platform::hostPath(installerCampaignFile);
    if (!exists(installerFile))
        return;
    if (const auto error = installFileCopy(installerFile, trackingPlistPath()))
        printFailure("Error reading plist: ", *error);
}

bool AppDelegate::recordReleaseAndSendAnalytics()
{
    platform::UserDefaults& defaults = standardDefaults();
    const std::optional<std::string> current = appVersion(platform::Bundle::main());
    if (settingsUnknown_)
        return true; // neither a first run nor an update, as far as is known
    if (!defaults.boolean(K::firstRun)) {
        defaults.setBool(K::firstRun, false);
        sendAnalyticsEvent("install", "install");
        if (current)
            defaults.setObject(K::lastVersion, *current);
        return false;
    }
    const std::optional<std::string> last = defaults.text(K::lastVersion);
    if (!current || !last || lowerCased(*last) == *current)
        return true;
    const auto lastNumber = versionNumber(*last), currentNumber = versionNumber(*current);
    if (lastNumber && currentNumber && *currentNumber > *lastNumber) {
        defaults.setObject(K::lastVersion, *current);
        sendAnalyticsEvent("bastionguardpointupdated", *current);
    }
    return true;
}

void AppDelegate::scheduleUpdateCheck()
{
    platform::UserDefaults& defaults = standardDefaults();
    std::optional<bool> automatic = defaults.boolean(K::automaticallyUpdateBG);
    if (!automatic && !settingsUnknown_) {
        defaults.setBool(K::automaticallyUpdateBG, true);
        automatic = true;
    }
    // The user's choice unknown: a check that installs nothing.
    platform::dispatch::asyncAfter(updateCheckDelay, [this, install = automatic.value_or(false)] {
        install ? autoInstallUpdates() : checkForUpdate();
    });
}

void AppDelegate::showMainWindow()
{
    AllViewControllers::initialWindowController().window()->show();
    if (std::exchange(startupItemsRequested_, false))
        showStartupItemsFromAgent();
}

void AppDelegate::applicationDidFinishLaunching()
{
    if (const std::optional<bool> scanOnLaunch = standardDefaults().boolean(K::scanOnAutoLaunch)) {
        const std::optional<AppleEvent> event = *scanOnLaunch ? currentAppleEvent() : std::nullopt;
        const bool asLoginItem = event && event->eventID == kAEOpenApplication && event->propertyData
                              && *event->propertyData == keyAELaunchedAsLogInItem;
        // A scan started here is the launch's scan: the flag is left only for the
        // Overview to start it once it appears, never for a second scan later.
        const bool scanNow = asLoginItem && !isScanOrCleanBusy();
        isLaunchedAsLoginItem = asLoginItem && !scanNow;
        if (scanNow)
            startScan();
    }
    if (settingsUnknown_)
        return; // the login item stays as the user left it
    platform::UserDefaults& defaults = standardDefaults();
    std::optional<bool> launchAutomatically = defaults.boolean(K::launchAutomatically);
    if (!launchAutomatically) {
        defaults.setBool(K::launchAutomatically, true);
        launchAutomatically = true;
    }
    const auto application = platform::FileURL::fromPath(platform::Bundle::main().bundlePath());
    removeMovedLoginItems(platform::Bundle::main().bundleIdentifier().value_or(""), application);
    setLaunchOnStartup(*launchAutomatically, application);
}

bool AppDelegate::applicationShouldHandleReopen(bool)
{
    showMainWindow();
    return true;
}

void AppDelegate::applicationWillTerminate() {}

void AppDelegate::applicationDidBecomeActive() {}

bool AppDelegate::validateMenuItem(const QAction*) const
{
    return !isPopUpShown();
}

void AppDelegate::tappedAbout()
{
    if (isPopUpShown())
        return;
    QWidget* window = AllViewControllers::initialWindowController().window();
    window->show();
    window->raise();
    window->activateWindow();
    platform::NotificationCenter::defaultCenter().post("AboutWindowBGX");
}

void AppDelegate::showBGX()
{
    if (!isPopUpShown())
        showMainWindow();
}
