#pragma once

#include <string>
#include <string_view>

namespace platform {

// The folder that stands for the macOS file system: $PLATFORM_ROOT, or "/".
// Read on every call, so a test may set the variable before it builds paths.
std::string platformRoot();

// Maps an absolute path of the platform ("/Users/joe/Library", "/Applications")
// to the host path under the platform root. Relative paths come back unchanged.
std::string hostPath(std::string_view platformPath);

// True when the host path lies inside the platform root (always, for the root "/").
bool isUnderPlatformRoot(std::string_view hostPath);

// NSUserName(): the login name ($PLATFORM_USER when set, else the user of the process).
std::string userName();

// NSHomeDirectory(): the host path of "/Users/" + userName().
std::string homeDirectory();

} // namespace platform
