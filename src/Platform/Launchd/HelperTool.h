#pragma once

#include "Platform/Values/Value.h"

#include <optional>
#include <string>

namespace platform {

// The information property list of an executable (CFBundleCopyInfoDictionaryForURL):
// the Info.plist of the bundle whose Contents/MacOS holds it, else the list a
// tool carries beside it as "<tool>-Info.plist" (a helper tool's embedded
// information). Null when there is none.
std::optional<Dictionary> infoDictionaryOfExecutable(const std::string& executablePath);

// The launchd property list a helper tool carries beside it as "<tool>-Launchd.plist".
std::optional<Dictionary> launchdDictionaryOfHelperTool(const std::string& toolPath);

} // namespace platform
