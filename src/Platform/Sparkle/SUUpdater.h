#pragma once

#include "Platform/Bundle/Bundle.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Sparkle/Appcast.h"
#include "Platform/Sparkle/SUUserDriver.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform {

struct SUError {
    std::string message;
    // The release itself was refused (too large, damaged, or no sound bundle of the
    // application), as opposed to a feed or download that failed.
    bool releaseRefused = false;
    // Only an administrator can replace the application, and none can be asked.
    bool administratorNeeded = false;
};

class SUUpdater;

// What an updater tells its delegate of its background checks, on the main queue, one
// method per delegate selector named after the whole selector (a check the user asked
// for tells the user, through the user driver). Every method does nothing unless
// overridden.
class SUUpdaterDelegate {
public:
    virtual ~SUUpdaterDelegate() = default;
    // updater:willDownloadUpdate:withRequest: – the request is the address of the archive.
    virtual void updaterWillDownloadUpdate(SUUpdater& updater, const SUAppcastItem& item, const std::string& request);
    // updater:didDownloadUpdate: – the release waits to be installed when the application ends.
    virtual void updaterDidDownloadUpdate(SUUpdater& updater, const SUAppcastItem& item);
    // updater:didAbortWithError:
    virtual void updaterDidAbortWithError(SUUpdater& updater, const SUError& error);
    // updaterDidNotFindUpdate:
    virtual void updaterDidNotFindUpdate(SUUpdater& updater);
};

// The application updater of one bundle. Its feed is the "SUFeedURL" of the bundle's
// Info.plist, an RSS appcast fetched over HTTP; a release is newer when its version is
// above the bundle's "CFBundleVersion". Both are read anew at each check. A downloaded release (a zip holding the new
// bundle) replaces the bundle when the application terminates. Main thread only; the
// transfers run on the global queue.
class SUUpdater {
public:
    // The one updater of the bundle, made on first request and kept for the life of the
    // process; null when the bundle names no feed. Making it removes the downloads an
    // earlier process left behind.
    static SUUpdater* initForBundle(const Bundle& bundle);

    // A separate updater of the bundle; null when the bundle names no feed.
    static std::unique_ptr<SUUpdater> create(const Bundle& bundle);

    ~SUUpdater();
    SUUpdater(const SUUpdater&) = delete;
    SUUpdater& operator=(const SUUpdater&) = delete;

    const std::string& bundlePath() const { return bundlePath_; }

    // With automatic checks on, the updater also checks once a day by itself.
    void setAutomaticallyChecksForUpdates(bool automaticallyChecks);
    bool automaticallyChecksForUpdates() const { return schedule_ != nullptr; }
    // With automatic downloads on, a background check downloads the release it finds.
    void setAutomaticallyDownloadsUpdates(bool automaticallyDownloads);
    bool automaticallyDownloadsUpdates() const { return automaticallyDownloads_; }
    void setDelegate(SUUpdaterDelegate* delegate) { delegate_ = delegate; }
    SUUpdaterDelegate* delegate() const { return delegate_; }

    // The windows of every updater's checks that the user asks for from now on; a
    // process without them (no windows) only looks for a release on such a check.
    static void setUserDriverFactory(SUUserDriverFactory factory);

    // Returns at once; the result reaches the delegate.
    void checkForUpdatesInBackground();
    // checkForUpdates: (the user's own request): the user driver shows the check, its
    // result and, when the user chooses Install, the download and the release that
    // waits for the quit. Asked again while it runs, it brings the window forward; a
    // background check under way goes on in the window.
    void checkForUpdates(const void* sender);
    // The windows of the user's checks; null before the first.
    SUUserDriver* userDriver() const { return userDriver_.get(); }

    bool updateInProgress() const { return inProgress_; }
    // The newest release the last check found, downloaded or not.
    const std::optional<SUAppcastItem>& foundUpdate() const { return found_; }
    // The bundle of the downloaded release waiting to be installed; empty when none.
    const std::string& downloadedBundlePath() const { return downloadedBundle_; }

    // Puts the downloaded release in place of the bundle (done by itself when the
    // Qt application is about to quit, or when the process exits without that quit);
    // false when nothing waits or it failed, in which case the bundle is as it was and
    // one printed line says why. The release is copied and looked at again first
    // (platform::replaceBundleWithRelease); it is dropped either way. A bundle the
    // user cannot replace is replaced by the raised install tool of the bundle, once
    // the authorisation agent and the elevation tool allow it. Where neither way is
    // open, a check never downloads a release: the user's says so in its window, an
    // automatic one in one printed line.
    bool installUpdatesIfAvailable();

    // The most a release may unpack to, in all; one that would unpack to more is
    // refused before anything is written.
    static constexpr std::uint64_t maximumUnpackedUpdateSize = std::uint64_t{2} * 1024 * 1024 * 1024;
    // The most members (files and folders) a release's archive may hold; one that
    // lists more is refused before anything is written.
    static constexpr std::uint64_t maximumUpdateMembers = 10'000;
    // Tests lower it.
    static void setMaximumUnpackedUpdateSizeForTesting(std::uint64_t size);

private:
    explicit SUUpdater(const Bundle& bundle);
    void check(bool download);
    void finishCheck(std::optional<SUAppcastItem> newer, bool download, std::optional<SUError> error);
    void finishUserCheck(const std::optional<SUAppcastItem>& newer, const std::optional<SUError>& error);
    void endUserCheck();
    void download(const SUAppcastItem& item);
    void showDownloadProgress();
    void finishDownload(const SUAppcastItem& item, std::string bundle, std::optional<SUError> error);
    void keepForInstallOnQuit(const SUAppcastItem& item, std::string bundle);
    std::string prepareDownloadFolder() const;
    void removeStaleDownloads() const;
    void discardDownloadedRelease();
    enum class InstallRoute { userRights, administrator, none };
    InstallRoute installRoute() const;
    std::optional<std::string> installAsAdministrator() const;
    void forgetVanishedRelease(); // a downloaded release removed meanwhile (the caches emptied)

    std::string bundlePath_;
    std::string bundleIdentifier_;
    bool automaticallyDownloads_ = false;
    bool inProgress_ = false;
    bool installOnQuit_ = false;
    SUUpdaterDelegate* delegate_ = nullptr;
    std::optional<SUAppcastItem> found_;
    std::string downloadedBundle_;
    SUAppcastItem downloadedItem_;
    std::shared_ptr<SUUserDriver> userDriver_;
    bool userSession_ = false;         // the running check or download shows in the user's windows
    bool downloadForDelegate_ = false; // the running download came from a background check
    std::uint64_t checkGeneration_ = 0; // the result of a cancelled check is dropped
    std::uint64_t received_ = 0;
    std::uint64_t expected_ = 0;
    std::shared_ptr<std::atomic<bool>> cancelDownload_; // set while a download runs
    std::unique_ptr<dispatch::RepeatingTimer> schedule_;
    std::shared_ptr<SUUpdater*> alive_; // lets queued work know the updater still exists
};

} // namespace platform
