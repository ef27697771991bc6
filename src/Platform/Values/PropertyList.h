#pragma once

#include "Platform/Values/Value.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

enum class PropertyListFormat { Xml, Binary };

// The most levels of values a property list read from outside may nest (the top
// value is level 1); a deeper list is refused as invalid.
inline constexpr std::size_t maximumPropertyListNesting = 512;

// The most values a property list read from outside may hold once read, and the
// most bytes of text and data they may hold together. A binary list may refer to
// one value from many places, and reading copies it for each: a few hundred bytes
// can stand for billions of values. A larger list is refused as invalid. The bounds
// leave room for the longest settings files (a list of 70,000 paths is 5.5 MB).
inline constexpr std::uint64_t maximumPropertyListValues = std::uint64_t{1} << 18;
inline constexpr std::uint64_t maximumPropertyListContentBytes = std::uint64_t{32} << 20;

// The largest property-list file read: a launchd job, an Info.plist, a text table
// or a defaults file is kilobytes; a larger file is refused as unreadable.
inline constexpr std::size_t maximumPropertyListSize = std::size_t{4} << 20;

// Parses an XML or binary property list (detected from its bytes). Dates keep
// the platform's reference (seconds since 2001-01-01 UTC). Null when the bytes
// are no property list, or pass one of the bounds above once read.
std::optional<Value> parsePropertyList(const Data& bytes);
// Null too when the file is refused (see Platform/Files/FileRead.h) or larger
// than maximumPropertyListSize; a list refused for a bound, or one that cannot be
// read, is skipped with the same one line, naming the bound or saying so.
std::optional<Value> readPropertyListFile(const std::string& path);

// Serialises a value; a null value anywhere inside cannot be written and gives null.
std::optional<Data> serializePropertyList(const Value& value, PropertyListFormat format);

// Writes atomically (a unique temporary file in the same folder, then rename).
[[nodiscard]] bool writePropertyListFile(const std::string& path, const Value& value,
                                         PropertyListFormat format = PropertyListFormat::Xml);

} // namespace platform
