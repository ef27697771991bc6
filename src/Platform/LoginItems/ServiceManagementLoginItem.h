#pragma once

#include <string>

namespace platform {

// SMLoginItemSetEnabled: switches on or off the login item of a helper
// application "Contents/Library/LoginItems/<X>.app" of the main bundle, a job of
// the user's launchd domain labelled with the helper's bundle identifier. On:
// the job is submitted (and runs); false when the main bundle has no helper of
// that identifier or launchd refuses. Off: the job is removed and its process
// ended before the call returns; false when it was not loaded.
bool SMLoginItemSetEnabled(const std::string& identifier, bool enabled);

} // namespace platform
