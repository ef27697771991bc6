#include "Platform/Tools/ZipListing.h"

#include "Platform/Tools/ZipExtraction.h"

#include <charconv>
#include <regex>

namespace platform {

namespace {

// Null for more than 64 bits.
std::optional<std::uint64_t> numberOf(const std::string& digits)
{
    std::uint64_t number = 0;
    if (std::from_chars(digits.data(), digits.data() + digits.size(), number).ec != std::errc())
        return std::nullopt;
    return number;
}

} // namespace

std::optional<ZipListingTotals> listedTotals(const std::string& archive)
{
    auto process = launchUnzip({"-Zt", archive}, ToolProcess::Capture::OutputAndError);
    if (!process)
        return std::nullopt;
    const std::string totals = process->readOutputToEnd();
    if (process->waitForExit() != 0)
        return std::nullopt;
    // "2 files, 12 bytes uncompressed, 12 bytes compressed:  0.0%"
    static const std::regex totalsLine(R"(^(\d+) files?, (\d+) bytes uncompressed, )");
    std::smatch match;
    if (!std::regex_search(totals, match, totalsLine))
        return std::nullopt;
    const auto members = numberOf(match[1].str());
    const auto unpackedSize = numberOf(match[2].str());
    if (!members || !unpackedSize)
        return std::nullopt;
    return ZipListingTotals{*members, *unpackedSize};
}

} // namespace platform
