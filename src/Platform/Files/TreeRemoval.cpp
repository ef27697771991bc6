#include "Platform/Files/TreeRemoval.h"

#include "Platform/Files/FolderDescriptors.h"
#include "Platform/Files/FolderEntries.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <vector>

namespace platform {

namespace {

std::error_code lastError()
{
    return {errno, std::generic_category()};
}

struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const Identity&) const = default;
};

// What the walk needs of an entry, looked at without following a link.
struct Entry {
    Identity identity;
    bool isFolder = false;
    bool isMountRoot = false;
};

std::optional<Entry> lookAt(int folder, const char* name, std::error_code& error)
{
    struct statx info {};
    if (::statx(folder, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE | STATX_INO, &info) != 0) {
        error = lastError();
        return std::nullopt;
    }
    return Entry{{::makedev(info.stx_dev_major, info.stx_dev_minor), info.stx_ino}, S_ISDIR(info.stx_mode),
                 (info.stx_attributes_mask & info.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0};
}

std::optional<Identity> identityOf(int fd)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return std::nullopt;
    return Identity{info.st_dev, info.st_ino};
}

bool vanished(const std::error_code& error)
{
    return error == std::errc::no_such_file_or_directory;
}

// The names in an open folder, "." and ".." left out.
std::error_code listFolder(int folder, std::vector<std::string>& names)
{
    auto entries = FolderEntries::open(Descriptor(::dup(folder)));
    if (!entries)
        return lastError();
    while (const auto entry = entries->next())
        names.emplace_back(entry->name);
    return entries->error();
}

// How often a folder is listed: names that arrive after a listing keep it from
// being removed, and it is listed again for them, this many times in all.
constexpr int maximumListings = 64;

// One folder on the way down: its name in the folder above, who it is, the names
// in it still to remove, and how often it has been listed. Only the deepest
// folder is held open.
struct Level {
    std::string name;
    Identity identity;
    std::vector<std::string> left;
    int listings = 0;
};

class Walk {
public:
    explicit Walk(int top) : top_(top) {}

    std::error_code run(const std::string& item)
    {
        const auto place = identityOf(top_);
        if (!place)
            return lastError();
        std::error_code error;
        const auto entry = lookAt(top_, item.c_str(), error);
        if (!entry)
            return error;
        if ((error = removeEntry(item, *entry, place->device)))
            return error;
        while (!levels_.empty() && !error)
            error = levels_.back().left.empty() ? climb() : removeNext();
        return error;
    }

private:
    int folder() const { return levels_.empty() ? top_ : current_.get(); }

    std::error_code removeNext()
    {
        Level& level = levels_.back();
        const std::string name = std::move(level.left.back());
        level.left.pop_back();
        std::error_code error;
        const auto entry = lookAt(current_.get(), name.c_str(), error);
        if (!entry)
            return vanished(error) ? std::error_code() : error;
        return removeEntry(name, *entry, level.identity.device);
    }

    // Removes a file or a link at once; a folder is entered, and removed once emptied.
    std::error_code removeEntry(const std::string& name, const Entry& entry, dev_t device)
    {
        if (!entry.isFolder)
            return ::unlinkat(folder(), name.c_str(), 0) == 0 || errno == ENOENT ? std::error_code() : lastError();
        if (entry.isMountRoot || entry.identity.device != device)
            return TreeRemovalError::mountPoint;
        return enter(Level{name, entry.identity, {}});
    }

    // Opens the folder `level` names in the current one, lists it and goes down
    // into it; a folder swapped since it was looked at is not entered.
    std::error_code enter(Level level)
    {
        Descriptor inner(::openat(folder(), level.name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!inner)
            return errno == ENOENT ? std::error_code() : lastError();
        if (identityOf(inner.get()) != level.identity)
            return std::make_error_code(std::errc::resource_unavailable_try_again);
        ++level.listings;
        if (const auto error = listFolder(inner.get(), level.left))
            return error;
        levels_.push_back(std::move(level));
        current_ = std::move(inner);
        return {};
    }

    // Leaves the emptied deepest folder for the one above and removes it there;
    // one that names arrived in meanwhile is entered again.
    std::error_code climb()
    {
        Level emptied = std::move(levels_.back());
        levels_.pop_back();
        if (levels_.empty()) {
            current_ = Descriptor();
        } else {
            Descriptor above(::openat(current_.get(), "..", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (!above)
                return lastError();
            if (identityOf(above.get()) != levels_.back().identity)
                return TreeRemovalError::movedDuringWalk;
            current_ = std::move(above);
        }
        const auto error = removeFolder(folder(), emptied.name);
        if (error == std::errc::directory_not_empty && emptied.listings < maximumListings)
            return enter(std::move(emptied));
        return error;
    }

    static std::error_code removeFolder(int folder, const std::string& name)
    {
        return ::unlinkat(folder, name.c_str(), AT_REMOVEDIR) == 0 || errno == ENOENT ? std::error_code()
                                                                                     : lastError();
    }

    int top_;
    Descriptor current_;
    std::vector<Level> levels_;
};

class TreeRemovalCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "tree removal"; }
    std::string message(int condition) const override
    {
        switch (static_cast<TreeRemovalError>(condition)) {
        case TreeRemovalError::mountPoint:
            return "Another file system is mounted there";
        case TreeRemovalError::movedDuringWalk:
            return "A folder was moved while it was removed";
        }
        return "Unknown error";
    }
};

} // namespace

const std::error_category& treeRemovalCategory()
{
    static const TreeRemovalCategory category;
    return category;
}

std::error_code make_error_code(TreeRemovalError error)
{
    return {static_cast<int>(error), treeRemovalCategory()};
}

std::error_code removeTree(int folder, const std::string& name)
{
    return Walk(folder).run(name);
}

std::error_code removeForGood(const std::string& path)
{
    std::error_code error;
    const ItemPlace place = openItemPlace(path, error);
    return place.folder ? removeTree(place.folder.get(), place.name) : error;
}

} // namespace platform
