#pragma once

#include "Platform/Values/Value.h"
#include "TestRoot.h"

#include <filesystem>
#include <optional>
#include <string>

namespace startuptest {

// An application bundle with an Info.plist (and its executable file); returns its host path.
std::filesystem::path plantBundle(const std::string& platformPath, const std::optional<std::string>& identifier);

// A property-list file; returns its host path.
std::filesystem::path plantPlist(const std::filesystem::path& path, const platform::Value& contents);

// An application of "/Applications" opened at login (a session login item), named
// "<name>.app", its identifier "com.example.<name>".
void plantSessionItem(const std::string& name);

// The host path of a platform path, as text.
std::string host(const std::string& platformPath);

} // namespace startuptest
