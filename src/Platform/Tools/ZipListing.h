#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// The sum of the sizes an archive's own listing gives its members once unpacked
// (the totals of "/usr/bin/unzip" "-Zt"), read without unpacking anything; null
// when the archive cannot be listed.
std::optional<std::uint64_t> listedUnpackedSize(const std::string& archive);

} // namespace platform
