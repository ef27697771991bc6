#pragma once

#include "Platform/Values/Value.h"

#include <QString>

#include <optional>
#include <string>

// The main bundle's property list "<named>.plist" when its root is a dictionary;
// nothing when the resource is missing, unreadable, malformed or of another root.
// Callers store the result in languageTable(), replacing what was there.
std::optional<platform::Dictionary> readBundlePlist(const std::string& named);

// The text under `key` ("IDS_BGX_" + number) in languageTable(); nothing when no
// table is loaded, the key is absent or its value is not a text. Main thread.
std::optional<std::string> localizedString(const std::string& key);

// The same, with the empty text in place of nothing: what a screen shows.
std::string localizedText(const std::string& key);
// That text as a Qt text, for a label or a button.
QString screenText(const std::string& key);
