#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

// A platform root of the bench's own in a temporary folder, made (and PLATFORM_ROOT
// pointed at it) at the first call, so nothing outside it is touched. Call it before
// anything builds a platform path.
inline const std::filesystem::path& benchRoot()
{
    static const std::filesystem::path root = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "bg-bench-root-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        setenv("PLATFORM_ROOT", pattern.c_str(), 1);
        return std::filesystem::path(pattern);
    }();
    return root;
}
