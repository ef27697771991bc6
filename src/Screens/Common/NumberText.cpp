#include "Screens/Common/NumberText.h"

#include <charconv>
#include <cmath>

std::string numberText(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string doubleText(double value)
{
    std::string text = numberText(value);
    if (std::isfinite(value) && text.find_first_of(".e") == std::string::npos)
        text += ".0";
    return text;
}
