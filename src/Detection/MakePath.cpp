#include "Detection/DatabaseManagerReader.h"
#include "Detection/FolderLookup.h"
#include "Foundation/FileUtilities.h"
#include "Foundation/ProtectedPaths.h"

Path makePath(const std::optional<std::string>& fullPath, FolderLookup& folders,
              const ProtectedFolders& protectedFolders)
{
    if (!fullPath)
        return {};
    if (!folders.isFolder(*fullPath))
        return {fullPath, std::nullopt};
    // A protected folder is never listed: nothing under it may be found or cleaned.
    platform::Descriptor folder = protectedFolders.openUnprotectedFolder(*fullPath);
    if (!folder)
        return {fullPath, std::nullopt};
    return {fullPath, listFilesRecursively(*fullPath, std::move(folder))};
}

Path makePath(const std::optional<std::string>& fullPath)
{
    FolderLookup folders;
    return makePath(fullPath, folders, ProtectedFolders());
}
