#pragma once

#include <string>
#include <string_view>

namespace platform {

// Appends XML character data to `out` with its references replaced: the five
// predefined entities and decimal or hexadecimal character references (a code point
// neither zero, a surrogate nor past U+10FFFF, written as UTF-8). Linear in the
// text; false, with `out` partly written, on a "&" that starts no such reference.
bool appendResolvedCharacterData(std::string_view text, std::string& out);

} // namespace platform
