#pragma once

#include <string>

namespace platform {

// The path without the separators it ends in ("/" stays "/"): "a/b//" is "a/b".
inline std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace platform
