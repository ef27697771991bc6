#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

namespace platform {

// NSApplicationActivationPolicy, read from the bundle's Info.plist:
// LSUIElement makes an accessory, LSBackgroundOnly a prohibited one.
enum class ApplicationActivationPolicy { Regular = 0, Accessory = 1, Prohibited = 2 };

// NSRunningApplication: a process of this user whose executable lies in an ".app" bundle.
struct RunningApplication {
    pid_t processIdentifier = -1;
    std::string bundlePath;
    std::string executablePath;
    std::optional<std::string> bundleIdentifier;
    ApplicationActivationPolicy activationPolicy = ApplicationActivationPolicy::Regular;

    // forceTerminate: ends the process at once (SIGKILL); false when it could
    // not be signalled (already gone, or not ours).
    bool forceTerminate() const;
};

} // namespace platform
