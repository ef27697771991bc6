#pragma once

#include <optional>
#include <string>

namespace platform {

// Where each application last ran from, as Launch Services registers an application
// at its launch: one entry per bundle identifier in a property list of the user's.
// The list is the user's to change, so what it names is checked at each look.

// Records the bundle at `bundlePath` (an ".app" folder with a bundle identifier) as
// where its application runs from; false when it is no such bundle or the list
// cannot be written.
bool registerApplication(const std::string& bundlePath);

// The bundle recorded for the identifier, while an ".app" folder with exactly that
// identifier is still there; null otherwise.
std::optional<std::string> registeredApplication(const std::string& bundleIdentifier);

} // namespace platform
