#pragma once

#include "Platform/Bundle/Bundle.h"

#include <optional>
#include <string>

// A text value of the bundle's info dictionary; null when the key is missing or its
// value is not a text.
std::optional<std::string> infoValue(const platform::Bundle& bundle, const std::string& key);

// "CFBundleShortVersionString" and "CFBundleVersion".
std::optional<std::string> appVersion(const platform::Bundle& bundle);
std::optional<std::string> buildNumber(const platform::Bundle& bundle);
