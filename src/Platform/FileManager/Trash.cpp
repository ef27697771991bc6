#include "Platform/FileManager/FileManager.h"
#include "Platform/Root/PathText.h"

#include <fcntl.h>
#include <stdio.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace platform {

namespace {

// The item's own name; a trailing separator does not count.
fs::path itemName(const std::string& path)
{
    return fs::path(withoutTrailingSlashes(path)).filename();
}

bool occupied(const fs::path& path)
{
    std::error_code ignored;
    return fs::exists(fs::symlink_status(path, ignored));
}

// A copy into `destination` (not yet there) followed by the removal of `source`.
std::error_code moveAcrossFileSystems(const fs::path& source, const fs::path& destination)
{
    std::error_code code;
    fs::copy(source, destination, fs::copy_options::recursive | fs::copy_options::copy_symlinks, code);
    if (code) {
        std::error_code ignored;
        fs::remove_all(destination, ignored);
        return code;
    }
    fs::remove_all(source, code);
    return code;
}

enum class MoveResult { Moved, Taken, Failed };

// Moves `source` to `destination` unless something is there already.
MoveResult moveWithoutReplacing(const fs::path& source, const fs::path& destination, std::error_code& code)
{
    if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, destination.c_str(), RENAME_NOREPLACE) == 0)
        return MoveResult::Moved;
    const int failure = errno;
    if (failure == EEXIST || failure == ENOTEMPTY)
        return MoveResult::Taken;
    if (failure != EXDEV && failure != EINVAL) {
        code = std::error_code(failure, std::generic_category());
        return MoveResult::Failed;
    }
    // No atomic no-replace rename here: test first, then move.
    if (occupied(destination))
        return MoveResult::Taken;
    if (failure == EXDEV)
        code = moveAcrossFileSystems(source, destination);
    else if (::rename(source.c_str(), destination.c_str()) != 0)
        code = std::error_code(errno, std::generic_category());
    return code ? MoveResult::Failed : MoveResult::Moved;
}

// A folder itself, not a link to one.
bool isRealFolder(const fs::path& path)
{
    std::error_code ignored;
    return fs::symlink_status(path, ignored).type() == fs::file_type::directory;
}

} // namespace

std::string trashItemName(const std::string& name, int attempt)
{
    if (attempt == 1)
        return name;
    const fs::path item(name);
    return item.stem().string() + " " + std::to_string(attempt) + item.extension().string();
}

bool FileManager::trashItem(const std::string& path, std::string* resultingPath, FileError* error) const
{
    const std::string source = withoutTrailingSlashes(path);
    const auto fail = [&](const std::error_code& code) {
        if (error)
            *error = {"\"" + path + "\" could not be moved to the Trash: " + code.message()};
        return false;
    };
    const fs::path name = itemName(path);
    if (name.empty() || name == "." || name == "..")
        return fail(std::make_error_code(std::errc::invalid_argument));
    if (!occupied(source))
        return fail(std::make_error_code(std::errc::no_such_file_or_directory));
    const fs::path trash = userTrashPath();
    std::error_code code;
    fs::create_directories(trash, code);
    if (code)
        return fail(code);
    if (!isRealFolder(trash))
        return fail(std::make_error_code(std::errc::not_a_directory));
    for (int attempt = 1; attempt < kTrashNameAttempts; ++attempt) {
        const fs::path destination = trash / trashItemName(name.string(), attempt);
        switch (moveWithoutReplacing(source, destination, code)) {
        case MoveResult::Moved:
            if (resultingPath)
                *resultingPath = destination.string();
            return true;
        case MoveResult::Failed:
            return fail(code);
        case MoveResult::Taken:
            break;
        }
    }
    return fail(std::make_error_code(std::errc::file_exists));
}

} // namespace platform
