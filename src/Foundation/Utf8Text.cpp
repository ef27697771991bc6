#include "Foundation/Utf8Text.h"

#include "Platform/Values/Utf8.h"

std::optional<std::string> utf8Text(std::string bytes)
{
    if (!platform::isUtf8(bytes))
        return std::nullopt;
    return bytes;
}
