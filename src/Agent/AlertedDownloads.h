#pragma once

#include <string>
#include <vector>

// "NewDownloadPathsWithNagsBGX" in the agent's standard defaults: the downloads
// alerted and not yet dismissed by the user. Each change is one locked
// read-modify-write; a stored value that is not a list of texts counts as an
// empty list, and nothing is written when a change leaves the list as it was.

// Whether the list holds `path` exactly.
bool isAlertedDownloadPath(const std::string& path);

// Adds `path` at the end unless it is listed: false then (another match of the
// same item got there first, and its alert stands for both).
bool addAlertedDownloadPath(const std::string& path);

// Takes every entry equal to `path` off the list.
void removeAlertedDownloadPath(const std::string& path);

// Empties the list and returns what it held. Taken at the agent's start, before
// its watchers begin: no alert is open then, so every path listed was left by an
// agent that ended with its alert open or waiting.
std::vector<std::string> takeAlertedDownloadPaths();
