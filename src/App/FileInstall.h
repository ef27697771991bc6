#pragma once

#include <optional>
#include <string>

// Copies `source` to a temporary file beside `destination` and renames it over
// `destination`, so the destination is either the old file or the whole new one.
// The error's text on failure, in which case the destination is as it was.
std::optional<std::string> installFileCopy(const std::string& source, const std::string& destination);

// Prints a failure's text on a line of its own, after `prefix`.
void printFailure(const std::string& prefix, const std::string& error);
