#include "Detection/TextValues.h"

#include <charconv>
#include <cmath>
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

} // namespace

std::optional<std::int64_t> parseInteger(std::string_view text)
{
    return parseWhole<std::int64_t>(text);
}

std::optional<double> parseDouble(std::string_view text)
{
    const auto value = parseWhole<double>(text);
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return value;
}

void printLine(const std::string& line)
{
    std::cout << (line + '\n') << std::flush;
}
