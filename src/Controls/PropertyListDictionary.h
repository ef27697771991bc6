#pragma once

#include "Platform/Values/Value.h"

#include <optional>
#include <string>

class QUrl;

// The top-level dictionary of a property-list file; null when the file cannot be read,
// is no property list or holds something else at its top. Prints nothing.
std::optional<platform::Dictionary> dictionaryWithContentsOfFile(const std::string& path);
// The same for a file URL; null for any other URL.
std::optional<platform::Dictionary> dictionaryWithContentsOfURL(const QUrl& url);
