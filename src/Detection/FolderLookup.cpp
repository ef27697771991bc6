#include "Detection/FolderLookup.h"

#include "Foundation/FileUtilities.h"
#include "Platform/Files/FolderEntries.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string_view>

namespace {

bool isFolderOnDisk(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool matchesWithoutCase(int folder)
{
    unsigned int flags = 0;
    return ::ioctl(folder, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_CASEFOLD_FL);
}

} // namespace

const FolderLookup::Listing* FolderLookup::listingOf(std::string_view folder)
{
    auto found = parents_.find(folder);
    if (found == parents_.end())
        found = parents_.emplace(std::string(folder), Parent{}).first;
    Parent& parent = found->second;
    // One path in a folder is cheaper to test than the folder to list.
    if (!parent.seen || parent.unlistable) {
        parent.seen = true;
        return nullptr;
    }
    if (!parent.listing) {
        auto entries = platform::FolderEntries::open(found->first);
        parent.unlistable = !entries || matchesWithoutCase(entries->descriptor());
        if (parent.unlistable)
            return nullptr;
        auto& listing = parent.listing.emplace();
        while (const auto entry = entries->next()) {
            if (entry->type == DT_DIR)
                listing.folders.emplace(entry->name);
            else if (entry->type == DT_LNK || entry->type == DT_UNKNOWN)
                listing.links.emplace(entry->name);
        }
    }
    return &*parent.listing;
}

bool FolderLookup::isFolder(const std::string& path)
{
    if (!isPlainAbsolutePath(path))
        return isFolderOnDisk(path);
    const std::string_view whole(path);
    const std::size_t slash = whole.rfind('/');
    const Listing* listing = listingOf(slash == 0 ? whole.substr(0, 1) : whole.substr(0, slash));
    if (!listing)
        return isFolderOnDisk(path);
    const std::string_view name = whole.substr(slash + 1);
    return listing->folders.contains(name) || (listing->links.contains(name) && isFolderOnDisk(path));
}
