#pragma once

#include "Platform/Values/Value.h"

#include <cstddef>
#include <optional>
#include <string>

namespace platform {

enum class PropertyListFormat { Xml, Binary };

// The most levels of values a property list read from outside may nest (the top
// value is level 1); a deeper list is refused as invalid.
inline constexpr std::size_t maximumPropertyListNesting = 512;

// The largest property-list file read: a launchd job, an Info.plist, a text table
// or a defaults file is kilobytes; a larger file is refused as unreadable.
inline constexpr std::size_t maximumPropertyListSize = std::size_t{4} << 20;

// Parses an XML or binary property list (detected from its bytes). Dates keep
// the platform's reference (seconds since 2001-01-01 UTC). Null when the bytes
// are no property list, or nest deeper than maximumPropertyListNesting.
std::optional<Value> parsePropertyList(const Data& bytes);
// Null too when the file is refused (see Platform/Files/FileRead.h) or larger
// than maximumPropertyListSize.
std::optional<Value> readPropertyListFile(const std::string& path);

// Serialises a value; a null value anywhere inside cannot be written and gives null.
std::optional<Data> serializePropertyList(const Value& value, PropertyListFormat format);

// Writes atomically (a unique temporary file in the same folder, then rename).
[[nodiscard]] bool writePropertyListFile(const std::string& path, const Value& value,
                                         PropertyListFormat format = PropertyListFormat::Xml);

} // namespace platform
