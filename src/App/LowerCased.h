#pragma once

#include <algorithm>
#include <cctype>
#include <string>

// The text with its ASCII letters in lower case.
inline std::string lowerCased(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}
