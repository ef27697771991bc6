#include "Detection/DatabaseManagerReader.h"
#include "Foundation/FileUtilities.h"

#include <filesystem>

Path makePath(const std::optional<std::string>& fullPath)
{
    if (!fullPath)
        return {};
    std::error_code error;
    if (!std::filesystem::is_directory(*fullPath, error))
        return {fullPath, std::nullopt};
    return {fullPath, listFilesRecursively(*fullPath)};
}
