#pragma once

#include <optional>
#include <string>
#include <vector>

// The regular files under a folder, recursively, in enumeration order: hidden
// entries and the insides of packages are skipped, and so are photo libraries.
// Unreadable entries are passed over; absent when the folder cannot be listed.
std::optional<std::vector<std::string>> listFilesRecursively(const std::string& folder);
