#include "Detection/DatabaseManagerReader.h"
#include "Foundation/FileUtilities.h"
#include "Foundation/ProtectedPaths.h"

#include <filesystem>

Path makePath(const std::optional<std::string>& fullPath)
{
    if (!fullPath)
        return {};
    std::error_code error;
    // A protected folder is never listed: nothing under it may be found or cleaned.
    if (!std::filesystem::is_directory(*fullPath, error) || isProtectedPath(*fullPath))
        return {fullPath, std::nullopt};
    return {fullPath, listFilesRecursively(*fullPath)};
}
