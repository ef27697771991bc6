#pragma once

#include <string>

// The results' Add to Ignore List: puts `path` on the ignore list, then takes out of
// the result list every item the path now covers (the path and everything below it)
// and every record left without an item. False when the list could not be saved:
// the result list is left as it was. Main thread.
[[nodiscard]] bool ignoreFoundPath(const std::string& path);
