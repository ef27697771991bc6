#pragma once

#include <string>

// The settings the triage reads at each event, from the store each key lives in.

// Whether a list of paths ("IgnoreAllPathsBGX", "NewDownloadPathsWithNagsBGX")
// holds `path` exactly; a value that is not a list of texts holds nothing.
bool pathListContains(const char* listKey, const std::string& path);
