#include "Platform/FileManager/FileManager.h"

#include "Platform/Files/FolderDescriptors.h"
#include "Platform/Files/TreeRemoval.h"
#include "Platform/Root/PathText.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace platform {

namespace {

std::error_code lastError()
{
    return {errno, std::generic_category()};
}

// Copies one entry, not what it holds: a folder made with the same attributes, a
// FIFO made anew, a file or a link copied; a socket or a device node, which holds
// no data, is left out (the removal of the item takes it).
std::error_code copyEntry(const fs::path& from, const fs::path& to, const fs::file_status& status)
{
    std::error_code code;
    switch (status.type()) {
    case fs::file_type::directory:
        fs::create_directory(to, from, code);
        break;
    case fs::file_type::fifo:
        if (::mkfifo(to.c_str(), static_cast<mode_t>(status.permissions() & fs::perms::all)) != 0)
            code = lastError();
        break;
    case fs::file_type::socket:
    case fs::file_type::block:
    case fs::file_type::character:
        break;
    default:
        fs::copy(from, to, fs::copy_options::copy_symlinks, code);
    }
    return code;
}

// Copies the item and, for a folder, everything in it; links copied as links.
std::error_code copyItem(const fs::path& from, const fs::path& to)
{
    std::error_code code;
    const fs::file_status status = fs::symlink_status(from, code);
    if (code || (code = copyEntry(from, to, status)) || status.type() != fs::file_type::directory)
        return code;
    for (fs::recursive_directory_iterator entry(from, code), end; !code && entry != end; entry.increment(code)) {
        const fs::file_status entryStatus = entry->symlink_status(code);
        if (code || (code = copyEntry(entry->path(), to / entry->path().lexically_relative(from), entryStatus)))
            break;
    }
    return code;
}

// Copies the item into the Trash under a free name, then removes it on descriptors:
// for an item on another file system than the Trash, where no rename can take it.
// Only with the user's own rights: the copy reads through the item's path.
std::error_code moveAcrossFileSystems(const std::string& item, const std::string& trash, std::string* trashedName)
{
    const std::string name = fs::path(item).filename().string();
    for (int attempt = 1; attempt < kTrashNameAttempts; ++attempt) {
        const fs::path destination = fs::path(trash) / trashItemName(name, attempt);
        std::error_code code;
        if (fs::exists(fs::symlink_status(destination, code)))
            continue;
        if ((code = copyItem(item, destination))) {
            std::error_code ignored;
            fs::remove_all(destination, ignored);
            return code;
        }
        // The copy stays whatever the removal leaves: what it removed lives on only there.
        if ((code = removeForGood(item)))
            return code;
        if (trashedName)
            *trashedName = destination.filename().string();
        return {};
    }
    return std::make_error_code(std::errc::file_exists);
}

} // namespace

std::string trashItemName(const std::string& name, int attempt)
{
    if (attempt == 1)
        return name;
    const fs::path item(name);
    return item.stem().string() + " " + std::to_string(attempt) + item.extension().string();
}

std::error_code moveIntoTrash(const std::string& item, const std::string& trash, uid_t owner,
                              std::string* trashedName)
{
    std::error_code error;
    const ItemPlace place = openItemPlace(item, error);
    if (!place.folder)
        return error;
    const Descriptor trashFolder = openFolder(pathComponents(trash), error);
    if (!trashFolder)
        return error ? error : std::make_error_code(std::errc::invalid_argument);
    struct stat info {};
    if (::fstat(trashFolder.get(), &info) != 0)
        return lastError();
    if (info.st_uid != owner)
        return std::make_error_code(std::errc::operation_not_permitted);
    for (int attempt = 1; attempt < kTrashNameAttempts; ++attempt) {
        const std::string candidate = trashItemName(place.name, attempt);
        if (::renameat2(place.folder.get(), place.name.c_str(), trashFolder.get(), candidate.c_str(),
                        RENAME_NOREPLACE) == 0) {
            if (trashedName)
                *trashedName = candidate;
            return {};
        }
        if (errno != EEXIST && errno != ENOTEMPTY)
            return lastError();
    }
    return std::make_error_code(std::errc::file_exists);
}

bool FileManager::trashItem(const std::string& path, std::string* resultingPath, FileError* error) const
{
    const std::string trash = userTrashPath();
    std::error_code code;
    fs::create_directories(trash, code);
    std::string trashedName;
    const std::string item = itemInResolvedFolder(path);
    if (!code)
        code = moveIntoTrash(item, itemInResolvedFolder(trash), ::geteuid(), &trashedName);
    if (code == std::errc::cross_device_link)
        code = moveAcrossFileSystems(item, trash, &trashedName);
    if (code) {
        if (error)
            *error = {"\"" + path + "\" could not be moved to the Trash: " + code.message(), code.message()};
        return false;
    }
    if (resultingPath)
        *resultingPath = trash + "/" + trashedName;
    return true;
}

} // namespace platform
