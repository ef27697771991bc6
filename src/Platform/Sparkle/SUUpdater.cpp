#include "Platform/Sparkle/SUUpdater.h"

#include "Platform/Authorization/Authorization.h"
#include "Platform/Authorization/Elevation.h"
#include "Platform/Authorization/ProcessUser.h"
#include "Platform/Root/PlatformRoot.h"
#include "Platform/Sparkle/BundleReplacement.h"
#include "Platform/Sparkle/ReleaseBundle.h"
#include "Platform/Sparkle/UpdateTransfer.h"
#include "Platform/Tools/ToolPaths.h"
#include "Platform/Tools/ZipExtraction.h"
#include "Platform/Tools/ZipListing.h"

#include <QCoreApplication>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <utility>

#include <unistd.h>

namespace fs = std::filesystem;

namespace platform {

void SUUpdaterDelegate::updaterWillDownloadUpdate(SUUpdater&, const SUAppcastItem&, const std::string&) {}
void SUUpdaterDelegate::updaterDidDownloadUpdate(SUUpdater&, const SUAppcastItem&) {}
void SUUpdaterDelegate::updaterDidAbortWithError(SUUpdater&, const SUError&) {}
void SUUpdaterDelegate::updaterDidNotFindUpdate(SUUpdater&) {}

namespace {

constexpr auto dailyCheck = std::chrono::hours(24);
// The largest feed and release taken from the server (a feed is kilobytes).
constexpr std::size_t maximumFeedSize = 4 * 1024 * 1024;
constexpr std::size_t maximumUpdateSize = 512 * 1024 * 1024;
std::atomic<std::uint64_t> unpackedUpdateLimit = SUUpdater::maximumUnpackedUpdateSize;
// How often a download tells its progress to the main queue.
constexpr auto progressInterval = std::chrono::milliseconds(100);

SUUserDriverFactory& userDriverFactory()
{
    static SUUserDriverFactory factory;
    return factory;
}

std::string infoText(const Bundle& bundle, const char* key)
{
    const Value* value = bundle.objectForInfoDictionaryKey(key);
    return value && value->asText() ? *value->asText() : std::string();
}

std::string makeTemporaryFolder(const fs::path& parent, const std::string& prefix)
{
    std::error_code error;
    fs::create_directories(parent, error);
    std::string pattern = (parent / (prefix + "XXXXXX")).string();
    return mkdtemp(pattern.data()) ? pattern : std::string();
}

// A release that is not installed: one line on standard output, and the error.
SUError refusedRelease(const std::string& problem)
{
    SUError refusal{"The update was not installed: " + problem + ".", true};
    std::cout << (refusal.message + '\n') << std::flush;
    return refusal;
}

// Removes the download folder ("Update.*") a release bundle was unpacked in, with
// everything in it.
void removeDownloadOf(const std::string& bundle)
{
    std::error_code ignored;
    fs::remove_all(fs::path(bundle).parent_path().parent_path(), ignored);
}

// The "*.app" entry of an unpacked archive that may replace the application of
// `identifier`, or why there is none.
std::optional<SUError> findReleaseBundle(const fs::path& folder, const std::string& identifier, std::string& bundle)
{
    std::string problem = "the downloaded archive holds no application";
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.path().extension() != ".app")
            continue;
        const auto entryProblem = releaseBundleProblem(entry.path().string(), identifier);
        if (!entryProblem) {
            bundle = entry.path().string();
            return std::nullopt;
        }
        problem = *entryProblem;
    }
    return refusedRelease(problem);
}

// The newer release the feed offers, or why the feed gave none.
std::optional<SUError> readFeed(const std::string& feed, const std::string& current, std::optional<SUAppcastItem>& newer)
{
    std::string text;
    const TransferResult fetched = fetchText(feed, maximumFeedSize, text);
    if (fetched == TransferResult::TooLarge)
        return SUError{"The update feed is larger than " + std::to_string(maximumFeedSize) + " bytes: " + feed};
    if (fetched != TransferResult::Received || !isAppcast(text))
        return SUError{"The update feed could not be read: " + feed};
    const auto newest = newestAppcastItem(text);
    if (newest && compareVersions(newest->versionString, current) > 0)
        newer = newest;
    return std::nullopt;
}

// Downloads the release into `folder` and unpacks it: the bundle it holds, or why not.
std::optional<SUError> fetchRelease(const SUAppcastItem& item, const std::string& folder, const std::string& identifier,
                                    const TransferObserver& observer, std::string& bundle)
{
    const std::string archive = folder + "/update.zip";
    const TransferResult downloaded =
        folder.empty() ? TransferResult::Failed : downloadFile(item.fileURL, archive, maximumUpdateSize, observer);
    if (downloaded == TransferResult::TooLarge)
        return SUError{"The update is larger than " + std::to_string(maximumUpdateSize) + " bytes: " + item.fileURL,
                       true};
    if (downloaded != TransferResult::Received)
        return SUError{"The update could not be downloaded: " + item.fileURL};
    // The listing refuses an honest archive over the limit without unpacking it; the
    // limit holds on what is unpacked all the same.
    const std::uint64_t limit = unpackedUpdateLimit;
    const auto listed = listedTotals(archive);
    if (listed && listed->members > SUUpdater::maximumUpdateMembers)
        return refusedRelease("it holds more than " + std::to_string(SUUpdater::maximumUpdateMembers) + " members");
    UnzipResult unpacking = UnzipResult::Failed;
    if (listed)
        unpacking = listed->unpackedSize > limit ? UnzipResult::TooLarge
                                                 : unzipWithinLimit(archive, {}, folder + "/unpacked", limit);
    if (unpacking == UnzipResult::TooLarge)
        return refusedRelease("it would unpack to more than " + std::to_string(limit) + " bytes");
    if (unpacking != UnzipResult::Unpacked)
        return refusedRelease("the downloaded archive could not be unpacked");
    return findReleaseBundle(folder + "/unpacked", identifier, bundle);
}

// The bundle's raised install tool, taken only from where this program started.
std::string installTool()
{
    return (standInToolFolder() / "privileged-install").string();
}

// A release that nobody here can install: said instead of downloading it.
SUError administratorOnly(const SUAppcastItem& item)
{
    const std::string& version = item.displayVersionString.empty() ? item.versionString : item.displayVersionString;
    return {"Version " + version + " can only be installed by an administrator.", true, true};
}

// Whether the authorisation agent (the dialog) gives an administrator's rights to
// install the release in place of `bundle`.
bool administratorAllowsInstalling(const fs::path& bundle)
{
    AuthorizationRef authorization = nullptr;
    if (AuthorizationCreate(nullptr, nullptr, kAuthorizationFlagDefaults, &authorization) != errAuthorizationSuccess)
        return false;
    const AuthorizationRights rights{{"system.privilege.admin", {}, 0}};
    const AuthorizationEnvironment environment{
        {kAuthorizationEnvironmentPrompt,
         "Installing the new version of \u201c" + bundle.stem().string() + "\u201d needs an administrator\u2019s rights.", 0}};
    const bool granted =
        AuthorizationCopyRights(authorization, &rights, &environment,
                                kAuthorizationFlagInteractionAllowed | kAuthorizationFlagExtendRights |
                                    kAuthorizationFlagPreAuthorize,
                                nullptr) == errAuthorizationSuccess;
    AuthorizationFree(authorization, kAuthorizationFlagDefaults);
    return granted;
}

// The updater's own folder of downloads, "~/Library/Caches/<identifier>"; empty for an
// identifier that is no single folder name.
fs::path downloadsFolder(const std::string& identifier)
{
    if (identifier.empty() || identifier == "." || identifier == ".." || identifier.find('/') != std::string::npos)
        return {};
    return fs::path(homeDirectory()) / "Library/Caches" / identifier;
}

// Installs, as the process exits, the releases of updaters whose application never
// quit (a lost display ends the process through exit()).
void installAtExit(std::weak_ptr<SUUpdater*> updater)
{
    static std::vector<std::weak_ptr<SUUpdater*>> waiting;
    static const pid_t process = ::getpid();
    [[maybe_unused]] static const int registered = std::atexit([] {
        if (::getpid() != process)
            return;
        for (const auto& each : waiting)
            if (const auto self = each.lock())
                (*self)->installUpdatesIfAvailable();
    });
    waiting.push_back(std::move(updater));
}

} // namespace

void SUUpdater::setUserDriverFactory(SUUserDriverFactory factory)
{
    userDriverFactory() = std::move(factory);
}

void SUUpdater::setMaximumUnpackedUpdateSizeForTesting(std::uint64_t size)
{
    unpackedUpdateLimit = size;
}

SUUpdater* SUUpdater::initForBundle(const Bundle& bundle)
{
    static std::map<std::string, std::unique_ptr<SUUpdater>> updaters;
    auto& slot = updaters[bundle.bundlePath()];
    if (!slot) {
        slot = create(bundle);
        if (slot)
            slot->removeStaleDownloads();
    }
    return slot.get();
}

std::unique_ptr<SUUpdater> SUUpdater::create(const Bundle& bundle)
{
    if (infoText(bundle, "SUFeedURL").empty())
        return nullptr;
    return std::unique_ptr<SUUpdater>(new SUUpdater(bundle));
}

SUUpdater::SUUpdater(const Bundle& bundle)
    : bundlePath_(bundle.bundlePath())
    , bundleIdentifier_(bundle.bundleIdentifier().value_or(""))
    , alive_(std::make_shared<SUUpdater*>(this))
{
}

SUUpdater::~SUUpdater() = default;

void SUUpdater::setAutomaticallyChecksForUpdates(bool automaticallyChecks)
{
    if (!automaticallyChecks)
        schedule_.reset();
    else if (!schedule_)
        schedule_ = std::make_unique<dispatch::RepeatingTimer>(dailyCheck, [this] { checkForUpdatesInBackground(); });
}

void SUUpdater::setAutomaticallyDownloadsUpdates(bool automaticallyDownloads)
{
    automaticallyDownloads_ = automaticallyDownloads;
}

void SUUpdater::checkForUpdatesInBackground()
{
    check(automaticallyDownloads_);
}

void SUUpdater::checkForUpdates(const void*)
{
    if (!userDriver_ && userDriverFactory())
        userDriver_ = userDriverFactory()();
    if (!userDriver_) { // no windows to ask the user with
        check(false);
        return;
    }
    if (userSession_) {
        userDriver_->bringToFront();
        return;
    }
    forgetVanishedRelease();
    if (!downloadedBundle_.empty()) {
        userDriver_->showReadyToInstallOnQuit(downloadedItem_);
        return;
    }
    userSession_ = true;
    if (cancelDownload_) { // a background download under way
        showDownloadProgress();
        return;
    }
    userDriver_->showCheckingForUpdates([alive = std::weak_ptr(alive_)] {
        if (const auto self = alive.lock()) {
            ++(*self)->checkGeneration_;
            (*self)->endUserCheck();
        }
    });
    check(false);
}

void SUUpdater::check(bool download)
{
    if (inProgress_)
        return;
    inProgress_ = true;
    const std::uint64_t generation = ++checkGeneration_;
    std::weak_ptr<SUUpdater*> alive = alive_;
    // The bundle as it is now: its Info.plist may have changed since the last check.
    const Bundle installed(bundlePath_);
    dispatch::asyncGlobal([alive, download, generation, feed = infoText(installed, "SUFeedURL"),
                           current = infoText(installed, "CFBundleVersion")] {
        std::optional<SUAppcastItem> newer;
        const std::optional<SUError> error = readFeed(feed, current, newer);
        dispatch::asyncMain([alive, newer, download, generation, error] {
            if (const auto self = alive.lock(); self && (*self)->checkGeneration_ == generation)
                (*self)->finishCheck(newer, download, error);
        });
    });
}

void SUUpdater::finishCheck(std::optional<SUAppcastItem> newer, bool download, std::optional<SUError> error)
{
    found_ = newer;
    if (userSession_) {
        finishUserCheck(newer, error);
        return;
    }
    if (error || !newer || !download) {
        inProgress_ = false;
        if (error && delegate_)
            delegate_->updaterDidAbortWithError(*this, *error);
        else if (!newer && delegate_)
            delegate_->updaterDidNotFindUpdate(*this);
        return;
    }
    if (installRoute() == InstallRoute::none) { // nothing is downloaded that cannot be installed
        inProgress_ = false;
        std::cout << (administratorOnly(*newer).message + '\n') << std::flush;
        return;
    }
    downloadForDelegate_ = true;
    if (delegate_)
        delegate_->updaterWillDownloadUpdate(*this, *newer, newer->fileURL);
    this->download(*newer);
}

// The user is told the result; a found release waits for the user's choice.
void SUUpdater::finishUserCheck(const std::optional<SUAppcastItem>& newer, const std::optional<SUError>& error)
{
    if (error || !newer) {
        endUserCheck();
        error ? userDriver_->showUpdaterError(*error) : userDriver_->showUpToDate();
        return;
    }
    if (installRoute() == InstallRoute::none) {
        endUserCheck();
        userDriver_->showUpdaterError(administratorOnly(*newer));
        return;
    }
    userDriver_->showUpdateFound(*newer, [alive = std::weak_ptr(alive_), item = *newer](bool install) {
        const auto self = alive.lock();
        if (self && install)
            (*self)->download(item);
        else if (self)
            (*self)->endUserCheck();
    });
}

void SUUpdater::endUserCheck()
{
    inProgress_ = false;
    userSession_ = false;
}

std::string SUUpdater::prepareDownloadFolder() const
{
    const fs::path caches = downloadsFolder(bundleIdentifier_);
    return caches.empty() ? std::string() : makeTemporaryFolder(caches, "Update.");
}

void SUUpdater::removeStaleDownloads() const
{
    const fs::path caches = downloadsFolder(bundleIdentifier_);
    std::error_code error;
    for (fs::directory_iterator it(caches, error), end; !error && it != end; it.increment(error)) {
        std::error_code ignored;
        if (it->path().filename().string().starts_with("Update."))
            fs::remove_all(it->path(), ignored); // a link is removed, never followed
    }
}

void SUUpdater::download(const SUAppcastItem& item)
{
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    cancelDownload_ = cancelled;
    received_ = 0;
    expected_ = 0; // the answer's Content-Length, once it comes
    if (userSession_)
        showDownloadProgress();
    std::weak_ptr<SUUpdater*> alive = alive_;
    dispatch::asyncGlobal([alive, item, cancelled, folder = prepareDownloadFolder(), identifier = bundleIdentifier_] {
        auto told = std::chrono::steady_clock::now();
        const auto progress = [alive, &told](std::uint64_t received, std::uint64_t total) {
            if (std::chrono::steady_clock::now() - told < progressInterval)
                return;
            told = std::chrono::steady_clock::now();
            dispatch::asyncMain([alive, received, total] {
                const auto self = alive.lock();
                if (self && (*self)->cancelDownload_) {
                    (*self)->received_ = received;
                    (*self)->expected_ = total;
                    if ((*self)->userSession_)
                        (*self)->showDownloadProgress();
                }
            });
        };
        std::string bundle;
        const std::optional<SUError> error = fetchRelease(item, folder, identifier, {progress, cancelled.get()}, bundle);
        if (error && !folder.empty()) {
            std::error_code ignored;
            fs::remove_all(folder, ignored);
        }
        dispatch::asyncMain([alive, item, bundle, error] {
            if (const auto self = alive.lock())
                (*self)->finishDownload(item, bundle, error);
        });
    });
}

void SUUpdater::showDownloadProgress()
{
    userDriver_->showDownloading(received_, expected_, [alive = std::weak_ptr(alive_), cancel = cancelDownload_] {
        *cancel = true;
        if (const auto self = alive.lock())
            (*self)->userSession_ = false;
    });
}

void SUUpdater::finishDownload(const SUAppcastItem& item, std::string bundle, std::optional<SUError> error)
{
    const bool cancelled = *cancelDownload_;
    cancelDownload_.reset();
    inProgress_ = false;
    const bool toUser = std::exchange(userSession_, false) && !cancelled;
    const bool toDelegate = std::exchange(downloadForDelegate_, false) && delegate_ && !cancelled;
    if (error) {
        if (toUser)
            userDriver_->showUpdaterError(*error);
        if (toDelegate)
            delegate_->updaterDidAbortWithError(*this, *error);
        return;
    }
    if (cancelled) { // finished before the cancel could stop it: nothing is kept
        removeDownloadOf(bundle);
        return;
    }
    keepForInstallOnQuit(item, std::move(bundle));
    if (toUser)
        userDriver_->showReadyToInstallOnQuit(item);
    if (toDelegate)
        delegate_->updaterDidDownloadUpdate(*this, item);
}

void SUUpdater::keepForInstallOnQuit(const SUAppcastItem& item, std::string bundle)
{
    downloadedBundle_ = std::move(bundle);
    downloadedItem_ = item;
    if (auto* application = QCoreApplication::instance(); application && !installOnQuit_) {
        installOnQuit_ = true;
        QObject::connect(application, &QCoreApplication::aboutToQuit, [alive = std::weak_ptr(alive_)] {
            if (const auto self = alive.lock())
                (*self)->installUpdatesIfAvailable();
        });
        installAtExit(alive_);
    }
}

bool SUUpdater::installUpdatesIfAvailable()
{
    if (downloadedBundle_.empty())
        return false;
    const auto problem = installRoute() == InstallRoute::administrator
                             ? installAsAdministrator()
                             : replaceBundleWithRelease(bundlePath_, downloadedBundle_, ::getuid(),
                                                        {unpackedUpdateLimit, maximumUpdateMembers});
    discardDownloadedRelease();
    if (problem)
        refusedRelease(*problem);
    return !problem;
}

SUUpdater::InstallRoute SUUpdater::installRoute() const
{
    if (userMayRemove(bundlePath_))
        return InstallRoute::userRights;
    const bool raisable = commandWithAdministratorRights({installTool()}).size() > 1;
    return raisable && onlyRootCanChange(fs::path(bundlePath_).parent_path().string()) ? InstallRoute::administrator
                                                                                       : InstallRoute::none;
}

std::optional<std::string> SUUpdater::installAsAdministrator() const
{
    if (!administratorAllowsInstalling(bundlePath_))
        return std::string("an administrator\u2019s rights were not given");
    return runWithAdministratorRights({installTool(), bundlePath_, downloadedBundle_});
}

void SUUpdater::forgetVanishedRelease()
{
    std::error_code error;
    if (!downloadedBundle_.empty() && !fs::exists(fs::symlink_status(downloadedBundle_, error)))
        downloadedBundle_.clear();
}

void SUUpdater::discardDownloadedRelease()
{
    removeDownloadOf(downloadedBundle_);
    downloadedBundle_.clear();
}

} // namespace platform
