#pragma once

#include <string_view>

namespace platform {

// Whether the bytes are UTF-8: no stray or missing continuation byte, no overlong
// form, no surrogate, nothing past U+10FFFF.
bool isUtf8(std::string_view text);

} // namespace platform
