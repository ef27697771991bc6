#include "Detection/DatabaseManagerReader.h"
#include "Detection/FolderLookup.h"
#include "Foundation/FileUtilities.h"
#include "Foundation/ProtectedPaths.h"

Path makePath(const std::optional<std::string>& fullPath, FolderLookup& folders,
              const ProtectedFolders& protectedFolders)
{
    if (!fullPath)
        return {};
    // A protected folder is never listed: nothing under it may be found or cleaned.
    if (!folders.isFolder(*fullPath) || protectedFolders.protects(*fullPath))
        return {fullPath, std::nullopt};
    return {fullPath, listFilesRecursively(*fullPath)};
}

Path makePath(const std::optional<std::string>& fullPath)
{
    FolderLookup folders;
    return makePath(fullPath, folders, ProtectedFolders());
}
