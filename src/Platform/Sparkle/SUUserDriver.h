#pragma once

#include "Platform/Sparkle/Appcast.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

struct SUError;

// What an updater shows the user during a check the user asked for, from the first
// look at the feed to the release that waits for the quit. Each call replaces what
// was shown; the callbacks are the user's answers and may come at most once each.
// A program with windows gives the updater its own (SUUpdater::setUserDriverFactory).
// Main thread only.
class SUUserDriver {
public:
    virtual ~SUUserDriver() = default;
    // The feed is being read; `cancel` stops the check.
    virtual void showCheckingForUpdates(std::function<void()> cancel) = 0;
    virtual void showUpToDate() = 0;
    // A newer release: `reply(true)` downloads it (Install), `reply(false)` leaves it (Later).
    virtual void showUpdateFound(const SUAppcastItem& item, std::function<void(bool install)> reply) = 0;
    // The release is downloading; `expected` is 0 when its size is unknown. `cancel`
    // stops the download.
    virtual void showDownloading(std::uint64_t received, std::uint64_t expected, std::function<void()> cancel) = 0;
    // The release is downloaded and is installed when the application quits.
    virtual void showReadyToInstallOnQuit(const SUAppcastItem& item) = 0;
    // The check or the download failed, or the release was refused (error.releaseRefused).
    virtual void showUpdaterError(const SUError& error) = 0;
    // Brings what is shown to the front.
    virtual void bringToFront() = 0;
};

// Made on an updater's first user check and kept while the updater lives; the shared
// pointer's deleter lets a driver of windows end them its own way.
using SUUserDriverFactory = std::function<std::shared_ptr<SUUserDriver>()>;

} // namespace platform
