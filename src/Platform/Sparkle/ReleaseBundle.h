#pragma once

#include <optional>
#include <string>

namespace platform {

// Why the bundle at `bundlePath` may not take the place of the installed application
// of `identifier`; absent when it may. A release is a real folder, with no link on the
// way to its Info.plist or its executable, whose Info.plist carries the identifier and
// names an executable file that is there.
std::optional<std::string> releaseBundleProblem(const std::string& bundlePath, const std::string& identifier);

} // namespace platform
