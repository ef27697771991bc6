#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// What an archive's own listing gives: its members (folders included) and the sum
// of their sizes once unpacked.
struct ZipListingTotals {
    std::uint64_t members = 0;
    std::uint64_t unpackedSize = 0;
};

// The totals of "/usr/bin/unzip" "-Zt", read without unpacking anything; null when
// the archive cannot be listed.
std::optional<ZipListingTotals> listedTotals(const std::string& archive);

} // namespace platform
