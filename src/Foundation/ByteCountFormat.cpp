#include "Foundation/ByteCountFormat.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace {

constexpr std::array<const char*, 4> units = {"KB", "MB", "GB", "TB"};

// Below one step the count is shown in whole bytes (a negative count, or no number
// at all, as 0); above, it is scaled in single precision until it is below the step
// or reaches TB. Dividing a float by 1024 is exact, the same as multiplying by 2^-10.
std::string formatByteCount(double count, float step)
{
    if (!(count >= 0))
        return "0 bytes";
    if (count < step)
        return std::to_string(static_cast<std::uint64_t>(count)) + " bytes";
    float value = static_cast<float>(count / step);
    std::size_t unit = 0;
    while (value >= step && unit + 1 < units.size()) {
        value /= step;
        ++unit;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.1f %s", static_cast<double>(value), units[unit]);
    return text;
}

} // namespace

std::string formatByteCountDecimal(double count)
{
    return formatByteCount(count, 1000.0f);
}

std::string formatByteCountBinary(double count)
{
    return formatByteCount(count, 1024.0f);
}
