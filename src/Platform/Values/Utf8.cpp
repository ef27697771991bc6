#include "Platform/Values/Utf8.h"

#include <cstddef>

namespace platform {

bool isUtf8(std::string_view text)
{
    for (std::size_t index = 0; index < text.size();) {
        const auto lead = static_cast<unsigned char>(text[index]);
        const std::size_t length = lead < 0x80         ? 1
                                   : lead >> 5 == 0x6  ? 2
                                   : lead >> 4 == 0xE  ? 3
                                   : lead >> 3 == 0x1E ? 4
                                                       : 0;
        if (length == 0 || index + length > text.size())
            return false;
        char32_t point = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t next = 1; next < length; ++next) {
            const auto continuation = static_cast<unsigned char>(text[index + next]);
            if (continuation >> 6 != 0x2)
                return false;
            point = point << 6 | (continuation & 0x3F);
        }
        constexpr char32_t shortest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (point < shortest[length] || (point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF)
            return false;
        index += length;
    }
    return true;
}

} // namespace platform
