#pragma once

#include <optional>
#include <string>

// absolutePathForAppBundleWithIdentifier: the first application bundle, in name
// order, under "/Applications" or "~/Applications" (helpers inside other bundles
// included) whose identifier is exactly the given one; null when none is.
std::optional<std::string> absolutePathForAppBundle(const std::string& withIdentifier);
