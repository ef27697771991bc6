#include "Platform/Tools/ZipListing.h"

#include "Platform/Tools/ToolProcess.h"

#include <charconv>
#include <regex>

namespace platform {

std::optional<std::uint64_t> listedUnpackedSize(const std::string& archive)
{
    auto process = ToolProcess::launch("/usr/bin/unzip", {"-Zt", archive}, ToolProcess::Capture::OutputAndError);
    if (!process)
        return std::nullopt;
    const std::string totals = process->readOutputToEnd();
    if (process->waitForExit() != 0)
        return std::nullopt;
    // "2 files, 12 bytes uncompressed, 12 bytes compressed:  0.0%"
    static const std::regex totalsLine(R"(^\d+ files?, (\d+) bytes uncompressed, )");
    std::smatch match;
    if (!std::regex_search(totals, match, totalsLine))
        return std::nullopt;
    const std::string digits = match[1].str();
    std::uint64_t size = 0;
    if (std::from_chars(digits.data(), digits.data() + digits.size(), size).ec != std::errc())
        return std::nullopt; // more than 64 bits
    return size;
}

} // namespace platform
