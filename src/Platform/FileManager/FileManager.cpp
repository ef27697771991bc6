#include "Platform/FileManager/FileManager.h"

#include "Platform/Authorization/ProcessUser.h"
#include "Platform/Files/TreeRemoval.h"
#include "Platform/Root/PathText.h"
#include "Platform/Root/PlatformRoot.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace platform {

namespace {

bool report(FileError* error, const std::string& path, const std::string& what, const std::error_code& code)
{
    if (error)
        *error = {"\"" + path + "\" " + what + ": " + code.message(), code.message()};
    return false;
}

} // namespace

FileManager& FileManager::defaultManager()
{
    static FileManager manager;
    return manager;
}

bool FileManager::fileExists(const std::string& path) const
{
    std::error_code ignored;
    return !path.empty() && fs::exists(path, ignored);
}

bool FileManager::isWritableFile(const std::string& path) const
{
    return userMayWrite(path);
}

bool FileManager::removeItem(const std::string& path, FileError* error) const
{
    const std::error_code code = removeForGood(itemInResolvedFolder(path));
    return code ? report(error, path, "could not be removed", code) : true;
}

std::string itemInResolvedFolder(const std::string& path)
{
    const fs::path item(withoutTrailingSlashes(path));
    std::error_code error;
    const fs::path folder = fs::canonical(item.parent_path(), error);
    return error || !item.has_filename() ? item.string() : (folder / item.filename()).string();
}

std::string userTrashPath()
{
    return homeDirectory() + "/.Trash";
}

} // namespace platform
