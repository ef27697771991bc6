#include "Detection/TextValues.h"

#include <charconv>
#include <iostream>

namespace {

// Strips one leading sign; "+" is accepted where from_chars does not.
std::string_view withoutPlus(std::string_view text)
{
    if (text.size() > 1 && text.front() == '+' && text[1] != '-' && text[1] != '+')
        return text.substr(1);
    return text;
}

template <class Number>
std::optional<Number> parseWhole(std::string_view text)
{
    text = withoutPlus(text);
    Number value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

// Length of the UTF-8 sequence that starts with `lead`, with the bounds of its
// second byte (which rule out overlong forms, surrogates and values above U+10FFFF).
struct SequenceRule {
    int length;
    unsigned char secondLow;
    unsigned char secondHigh;
};

std::optional<SequenceRule> ruleFor(unsigned char lead)
{
    if (lead < 0x80) return SequenceRule{1, 0, 0};
    if (lead >= 0xC2 && lead <= 0xDF) return SequenceRule{2, 0x80, 0xBF};
    if (lead == 0xE0) return SequenceRule{3, 0xA0, 0xBF};
    if (lead == 0xED) return SequenceRule{3, 0x80, 0x9F};
    if (lead >= 0xE1 && lead <= 0xEF) return SequenceRule{3, 0x80, 0xBF};
    if (lead == 0xF0) return SequenceRule{4, 0x90, 0xBF};
    if (lead >= 0xF1 && lead <= 0xF3) return SequenceRule{4, 0x80, 0xBF};
    if (lead == 0xF4) return SequenceRule{4, 0x80, 0x8F};
    return std::nullopt;
}

} // namespace

std::optional<std::int64_t> parseInteger(std::string_view text)
{
    return parseWhole<std::int64_t>(text);
}

std::optional<double> parseDouble(std::string_view text)
{
    return parseWhole<double>(text);
}

bool isValidUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const auto rule = ruleFor(static_cast<unsigned char>(bytes[i]));
        if (!rule || i + rule->length > bytes.size())
            return false;
        for (int k = 1; k < rule->length; ++k) {
            const auto byte = static_cast<unsigned char>(bytes[i + k]);
            const unsigned char low = k == 1 ? rule->secondLow : 0x80;
            const unsigned char high = k == 1 ? rule->secondHigh : 0xBF;
            if (byte < low || byte > high)
                return false;
        }
        i += rule->length;
    }
    return true;
}

void printLine(const std::string& line)
{
    std::cout << (line + '\n') << std::flush;
}
