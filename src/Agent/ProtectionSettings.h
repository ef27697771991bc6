#pragma once

#include <string>

// The settings the triage reads at each event, from the store each key lives in.

// Whether a protection switch stops the triage: only a stored Boolean false does
// (an unavailable suite, an absent key or a value of another type leave it on).
bool isSwitchedOff(const char* switchKey);

// Whether a list of paths ("IgnoreAllPathsBGX", "NewDownloadPathsWithNagsBGX")
// holds `path` exactly; a value that is not a list of texts holds nothing.
bool pathListContains(const char* listKey, const std::string& path);
