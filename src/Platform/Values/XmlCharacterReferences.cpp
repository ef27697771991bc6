#include "Platform/Values/XmlCharacterReferences.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <optional>
#include <utility>

namespace platform {

namespace {

constexpr std::array<std::pair<std::string_view, char>, 5> predefinedEntities{{
    {"amp", '&'},
    {"lt", '<'},
    {"gt", '>'},
    {"quot", '"'},
    {"apos", '\''},
}};

void appendUtf8(std::uint32_t codePoint, std::string& out)
{
    const auto byte = [&out](std::uint32_t bits) { out += static_cast<char>(bits); };
    if (codePoint < 0x80) {
        byte(codePoint);
    } else if (codePoint < 0x800) {
        byte(0xC0 | (codePoint >> 6));
        byte(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        byte(0xE0 | (codePoint >> 12));
        byte(0x80 | ((codePoint >> 6) & 0x3F));
        byte(0x80 | (codePoint & 0x3F));
    } else {
        byte(0xF0 | (codePoint >> 18));
        byte(0x80 | ((codePoint >> 12) & 0x3F));
        byte(0x80 | ((codePoint >> 6) & 0x3F));
        byte(0x80 | (codePoint & 0x3F));
    }
}

// "#65" or "#x41": the code point, or null when the digits name none.
std::optional<std::uint32_t> codePointOf(std::string_view reference)
{
    const bool hexadecimal = reference.starts_with("#x");
    const std::string_view digits = reference.substr(hexadecimal ? 2 : 1);
    std::uint32_t codePoint = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), codePoint, hexadecimal ? 16 : 10);
    const bool whole = !digits.empty() && error == std::errc{} && end == digits.data() + digits.size();
    if (!whole || codePoint == 0 || (codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF)
        return std::nullopt;
    return codePoint;
}

bool appendReference(std::string_view reference, std::string& out)
{
    if (reference.starts_with('#')) {
        const auto codePoint = codePointOf(reference);
        if (codePoint)
            appendUtf8(*codePoint, out);
        return codePoint.has_value();
    }
    for (const auto& [name, character] : predefinedEntities) {
        if (reference == name) {
            out += character;
            return true;
        }
    }
    return false;
}

bool isReferenceChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '#';
}

} // namespace

bool appendResolvedCharacterData(std::string_view text, std::string& out)
{
    std::size_t at = 0;
    for (;;) {
        const std::size_t ampersand = text.find('&', at);
        out.append(text.substr(at, ampersand - at));
        if (ampersand == std::string_view::npos)
            return true;
        // The reference's characters are looked at once: the scan stops at the first
        // that cannot belong to one, so a run of "&" without ";" stays linear.
        std::size_t end = ampersand + 1;
        while (end < text.size() && isReferenceChar(text[end]))
            ++end;
        if (end == text.size() || text[end] != ';' || !appendReference(text.substr(ampersand + 1, end - ampersand - 1), out))
            return false;
        at = end + 1;
    }
}

} // namespace platform
