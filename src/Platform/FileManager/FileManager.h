#pragma once

#include <sys/types.h>

#include <string>
#include <system_error>

namespace platform {

// What a failed file operation reports: the platform's own description, and the
// reason it ends with on its own.
struct FileError {
    std::string description;
    std::string reason;
};

// NSFileManager.defaultManager, for what the programs ask of it. Paths are host
// paths (already under the platform root).
class FileManager {
public:
    static FileManager& defaultManager();

    // fileExistsAtPath: follows a final symbolic link, so a dangling link is absent.
    bool fileExists(const std::string& path) const;

    // isWritableFileAtPath: the platform's user may write the item itself (userMayWrite).
    bool isWritableFile(const std::string& path) const;

    // removeItemAtPath:error: – the item, a folder with everything in it, removed
    // as removeForGood() removes it: a symbolic link is removed, never followed, and
    // a path through a link fails.
    [[nodiscard]] bool removeItem(const std::string& path, FileError* error) const;

    // trashItemAtURL:resultingItemURL:error: – moves the item into the user's Trash
    // under its own name, or a new unique one when that is taken; nothing in the
    // Trash is ever replaced. `resultingPath` (when given) receives where it went.
    // The move is moveIntoTrash()'s with this process's user as the Trash's owner;
    // an item on another file system is copied, then removed as removeForGood() does.
    [[nodiscard]] bool trashItem(const std::string& path, std::string* resultingPath, FileError* error) const;
};

// The user's Trash: the host path of "/Users/<login name>/.Trash".
std::string userTrashPath();

// The item at `path` named in its folder as that folder resolves now, its links
// followed (a Downloads the user linked to another disk, say); the item itself is
// not followed. For removals with the user's own rights, whose walk then follows no
// link; the path as written when its folder cannot be resolved.
std::string itemInResolvedFolder(const std::string& path);

// The name an item called `name` takes in the Trash at the given attempt (from 1):
// its own name, then "<stem> 2<extension>", "<stem> 3<extension>", ...
std::string trashItemName(const std::string& name, int attempt);
inline constexpr int kTrashNameAttempts = 10000;

// Moves the item into the Trash folder under its own name, or the first free name,
// never replacing anything; both are reached on descriptors from "/" without
// following a link (see openFolder()), and the Trash must be a real folder that
// `owner` owns; an item on another file system fails (EXDEV). `trashedName`
// receives the name it took.
std::error_code moveIntoTrash(const std::string& item, const std::string& trash, uid_t owner,
                              std::string* trashedName = nullptr);

} // namespace platform
