#include "Platform/FSEvents/WatchTree.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <iterator>
#include <string_view>
#include <utility>

namespace fs = std::filesystem;

namespace platform::fsevents {

namespace {

constexpr std::uint32_t watchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE |
                                    IN_MOVE_SELF | IN_ONLYDIR | IN_DONT_FOLLOW;
// Added to whatever a tree already watches in the same folder. A folder a root is
// waited in, or a root that is a link sits in: the root's name coming and going.
constexpr std::uint32_t ancestorMask =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MOVE_SELF | IN_ONLYDIR | IN_MASK_ADD;
// Added likewise to a folder on a watched root's path: a name on that path moved.
constexpr std::uint32_t pathMask = IN_MOVED_FROM | IN_MOVED_TO | IN_ONLYDIR | IN_MASK_ADD;
// What a folder watched late, at a retry, already holds: its own event was missed,
// whichever it was, so it counts as having arrived under its name.
constexpr std::uint32_t arrivedUnseen = kItemCreated | kItemRenamed;

std::atomic<AddWatch> addWatchInPlace{nullptr};

int addWatch(int fd, const std::string& path, std::uint32_t mask)
{
    const AddWatch replacement = addWatchInPlace.load();
    return replacement ? replacement(fd, path.c_str(), mask) : inotify_add_watch(fd, path.c_str(), mask);
}

struct FlagMapping {
    std::uint32_t inotifyMask;
    std::uint32_t flag;
};

constexpr FlagMapping flagTable[] = {
    {IN_CREATE, kItemCreated},
    {IN_DELETE, kItemRemoved},
    {IN_MOVED_FROM | IN_MOVED_TO, kItemRenamed},
    {IN_CLOSE_WRITE, kItemModified},
};

std::uint32_t itemKind(bool isFolder)
{
    return isFolder ? kItemIsDir : kItemIsFile;
}

bool isFolder(const fs::path& path)
{
    std::error_code error;
    return fs::is_directory(fs::symlink_status(path, error));
}

// The nearest folder above the path that exists.
std::string nearestFolderAbove(const std::string& path)
{
    fs::path folder = fs::path(path).parent_path();
    std::error_code error;
    while (!fs::is_directory(folder, error) && folder.has_relative_path())
        folder = folder.parent_path();
    return folder.string();
}

// The folders that hold the path, nearest first, up to the file-system root.
std::vector<std::string> foldersAbove(const std::string& path)
{
    std::vector<std::string> folders;
    for (fs::path folder = fs::path(path).parent_path(); !folder.empty(); folder = folder.parent_path()) {
        folders.push_back(folder.string());
        if (!folder.has_relative_path())
            break;
    }
    return folders;
}

// Whether the path is the folder or lies below it.
bool isWithin(const std::string& folder, const std::string& path)
{
    return path.starts_with(folder) && (path.size() == folder.size() || path[folder.size()] == '/');
}

// The folder with a tail that is empty or starts with "/".
std::string joined(const std::string& folder, std::string_view tail)
{
    if (tail.empty())
        return folder;
    return (folder == "/" ? std::string() : folder) + std::string(tail);
}

// What follows the folder in a path below it ("/name..."), or "" for the folder itself.
std::string_view tailBelow(const std::string& folder, const std::string& path)
{
    return std::string_view(path).substr(folder == "/" ? 0 : folder.size());
}

} // namespace

void setAddWatch(AddWatch replacement)
{
    addWatchInPlace = replacement;
}

std::uint64_t nextEventId()
{
    static std::atomic<std::uint64_t> lastId{0};
    return ++lastId;
}

std::vector<Event> WatchTree::addRoots(const std::vector<std::string>& roots)
{
    for (const auto& root : roots)
        if (roots_.insert(root).second && !addRootTree(root))
            missingRoots_.push_back(root);
    std::vector<Event> events;
    attachAppearedRoots(events);
    return events;
}

// A root that is a link is watched where it leads, when the check allows it; a
// refused one counts as missing (and is judged again when it changes).
bool WatchTree::addRootTree(const std::string& root)
{
    linkedRoots_.erase(root);
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(root, error))) {
        const fs::path target = fs::canonical(root, error);
        if (error)
            return false;
        if (followsLinkedRoot_ && !followsLinkedRoot_(root)) {
            if (refusedRoots_.insert(root).second)
                notices_.push_back(root + " is a link to " + target.string() +
                                   ", which is not a folder of the user's own; it is not watched");
            return false;
        }
        linkedRoots_[root] = target.string();
    }
    refusedRoots_.erase(root);
    if (addTree(root))
        return true;
    linkedRoots_.erase(root);
    return false;
}

bool WatchTree::addTree(const std::string& folder, std::vector<Event>* arrived)
{
    const std::string disk = onDisk(folder);
    if (!isFolder(disk))
        return false;
    if (!watchFolder(folder, disk))
        return true;
    forEachBelow(folder, [&](const std::string& path, const std::string& pathOnDisk, bool folderItem) {
        if (arrived)
            arrived->push_back({nextEventId(), path, arrivedUnseen | itemKind(folderItem)});
        return folderItem && watchFolder(path, pathOnDisk);
    });
    return true;
}

void WatchTree::forEachBelow(const std::string& folder, const Visitor& visit) const
{
    const std::string disk = onDisk(folder);
    std::error_code error;
    const auto options = fs::directory_options::skip_permission_denied;
    for (fs::recursive_directory_iterator it(disk, options, error), end; !error && it != end; it.increment(error)) {
        const std::string& pathOnDisk = it->path().native();
        std::error_code unknown;
        // The kind the folder listing gave, without a call per item where it gave one.
        const bool folderItem = !it->is_symlink(unknown) && it->is_directory(unknown);
        if (!visit(joined(folder, tailBelow(disk, pathOnDisk)), pathOnDisk, folderItem) && folderItem)
            it.disable_recursion_pending();
    }
}

std::string WatchTree::onDisk(const std::string& folder) const
{
    for (const auto& [root, target] : linkedRoots_)
        if (isWithin(root, folder))
            return joined(target, tailBelow(root, folder));
    return folder;
}

// A folder left out at the watch limit is kept without the folders below it: they
// are walked once it is watched.
bool WatchTree::watchFolder(const std::string& folder, const std::string& disk)
{
    const int wd = addWatch(fd_, disk, watchMask);
    if (wd >= 0) {
        folders_[wd] = folder;
        return true;
    }
    if (errno == ENOSPC) {
        unwatched_.insert(folder);
        noteWatchLimit(folder + " is not watched");
    }
    return false;
}

// The folders left out, topmost first, each walked once it is watched and what it
// holds reported; the first that still cannot be watched ends the round, as
// nothing more can be. Then the roots waited for.
std::vector<Event> WatchTree::retryUnwatched()
{
    std::vector<Event> events;
    while (!unwatched_.empty()) {
        const std::string folder = unwatched_.extract(unwatched_.begin()).value();
        addTree(folder, &events);
        if (unwatched_.contains(folder))
            break;
    }
    ancestorsUnwatched_ = false;
    attachAppearedRoots(events);
    return events;
}

void WatchTree::noteWatchLimit(const std::string& leftOut)
{
    if (!std::exchange(watchLimitNoted_, true))
        notices_.push_back("the system's inotify watch limit is reached; " + leftOut +
                           ", nor is any folder while the limit holds; what arrives in them "
                           "meanwhile is checked once it lifts");
}

void WatchTree::forgetTree(const std::string& folder)
{
    std::erase_if(unwatched_, [&folder](const std::string& unwatched) { return isWithin(folder, unwatched); });
    for (auto it = folders_.begin(); it != folders_.end();) {
        if (isWithin(folder, it->second)) {
            if (!isNameWatch(it->first))
                inotify_rm_watch(fd_, it->first);
            it = folders_.erase(it);
        } else {
            ++it;
        }
    }
}

void WatchTree::reportContents(const std::string& folder, std::vector<Event>& events)
{
    forEachBelow(folder, [&events](const std::string& path, const std::string&, bool folderItem) {
        events.push_back({nextEventId(), path, kItemCreated | itemKind(folderItem)});
        return true;
    });
}

std::vector<Event> WatchTree::translate(const inotify_event& event)
{
    std::vector<Event> events;
    if ((event.mask & IN_Q_OVERFLOW) && !std::exchange(overflowNoted_, true))
        notices_.push_back("the system's inotify event queue overflowed; some changes are not seen");
    if (event.mask & (IN_IGNORED | IN_MOVE_SELF)) {
        forgetWatch(event.wd, event.mask & IN_MOVE_SELF);
        attachAppearedRoots(events);
        return events;
    }
    translateTreeEvent(event, events);
    if (rejudgeNamedRoots(event) || isWaitingEvent(event))
        attachAppearedRoots(events);
    return events;
}

void WatchTree::translateTreeEvent(const inotify_event& event, std::vector<Event>& events)
{
    const auto folder = folders_.find(event.wd);
    if (folder == folders_.end() || event.len == 0 || event.name[0] == '\0')
        return;

    const std::string path = folder->second + "/" + event.name;
    const bool folderItem = event.mask & IN_ISDIR;
    std::uint32_t flags = 0;
    for (const auto& mapping : flagTable)
        if (event.mask & mapping.inotifyMask)
            flags |= mapping.flag;
    if (flags == 0)
        return;
    events.push_back({nextEventId(), path, flags | itemKind(folderItem)});

    if (folderItem && (event.mask & IN_MOVED_FROM))
        forgetTree(path);
    if (folderItem && (event.mask & (IN_CREATE | IN_MOVED_TO)) && addTree(path) && (event.mask & IN_CREATE))
        reportContents(path, events);
}

// A watch that ended (the folder is gone) or whose folder moved elsewhere: a
// root among them is missing from now on; other moved folders are seen from
// their parent.
void WatchTree::forgetWatch(int wd, bool moved)
{
    const auto watchedBy = [wd](const auto& named) { return named.second == wd; };
    const bool named = std::erase_if(ancestors_, watchedBy) + std::erase_if(pathFolders_, watchedBy) > 0;
    if (named && moved && !folders_.contains(wd))
        inotify_rm_watch(fd_, wd);
    const auto folder = folders_.find(wd);
    if (folder == folders_.end())
        return;
    const std::string path = folder->second;
    const bool isRoot = roots_.contains(path);
    if (isRoot && !isMissing(path))
        missingRoots_.push_back(path);
    if (!moved)
        folders_.erase(folder);
    else if (isRoot)
        forgetTree(path);
}

bool WatchTree::isAncestorWatch(int wd) const
{
    return std::ranges::any_of(ancestors_, [wd](const auto& ancestor) { return ancestor.second == wd; });
}

bool WatchTree::isNameWatch(int wd) const
{
    return isAncestorWatch(wd) ||
           std::ranges::any_of(pathFolders_, [wd](const auto& pathFolder) { return pathFolder.second == wd; });
}

bool WatchTree::isWaitingEvent(const inotify_event& event) const
{
    return isAncestorWatch(event.wd) && (event.mask & IN_ISDIR) && (event.mask & (IN_CREATE | IN_MOVED_TO));
}

// A change of a root's name in the folder it is waited in or, for a root that is a
// link, sits in: the link may have been made, removed or re-pointed (any of which
// its own watches cannot see). A followed link that no longer leads where it did
// is forgotten and counts as missing; true when a root is to be judged again.
bool WatchTree::rejudgeNamedRoots(const inotify_event& event)
{
    constexpr std::uint32_t nameChanges = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
    if (event.len == 0 || event.name[0] == '\0' || !(event.mask & nameChanges))
        return false;
    bool rejudge = rejudgeMovedPaths(event);
    for (const auto& [folder, wd] : ancestors_) {
        if (wd != event.wd)
            continue;
        const std::string root = joined(folder, "/" + std::string(event.name));
        const auto linked = linkedRoots_.find(root);
        if (linked != linkedRoots_.end()) {
            std::error_code error;
            const bool leadsWhereItDid = fs::is_symlink(fs::symlink_status(root, error)) &&
                                         fs::canonical(root, error).string() == linked->second;
            if (leadsWhereItDid)
                continue;
            linkedRoots_.erase(linked);
            forgetRoot(root);
            rejudge = true;
        } else if (isMissing(root)) {
            rejudge = true;
        }
    }
    return rejudge;
}

// A folder on a watched root's path moved away, or another moved into its place:
// the root's watches follow the folder they were made on, so each root below that
// name is forgotten (its events dropped) and waited for at its path again.
bool WatchTree::rejudgeMovedPaths(const inotify_event& event)
{
    if (!(event.mask & (IN_MOVED_FROM | IN_MOVED_TO)))
        return false;
    std::vector<std::string> moved;
    for (const auto& [folder, wd] : pathFolders_)
        if (wd == event.wd)
            for (const auto& root : roots_)
                if (const std::string name = joined(folder, "/" + std::string(event.name));
                    name != root && isWithin(name, root) && !isMissing(root))
                    moved.push_back(root);
    for (const auto& root : moved)
        forgetRoot(root);
    return !moved.empty();
}

void WatchTree::forgetRoot(const std::string& root)
{
    forgetTree(root);
    if (!isMissing(root))
        missingRoots_.push_back(root);
}

bool WatchTree::isMissing(const std::string& root) const
{
    return std::ranges::find(missingRoots_, root) != missingRoots_.end();
}

// Watches the missing roots that are there now, reporting what a root already
// holds (as a folder made below a root; the root itself is not reported), and
// waits for the others from their nearest existing ancestors, until that is
// stable. A root made or moved in is reported alike: what was put in it before
// its watch began would be lost otherwise.
void WatchTree::attachAppearedRoots(std::vector<Event>& events)
{
    do {
        std::erase_if(missingRoots_, [&](const std::string& root) {
            if (std::ranges::any_of(folders_, [&](const auto& watched) { return watched.second == root; }))
                return true; // already inside another root's tree
            if (!addRootTree(root))
                return false;
            reportContents(root, events);
            return true;
        });
    } while (watchAncestors());
}

// Watches the ancestors the missing roots wait in, and the folders that hold the
// followed links, and drops the others; true when a new one was added (a root may
// have appeared before it was).
bool WatchTree::watchAncestors()
{
    NameWatches waitedIn;
    for (const auto& root : missingRoots_)
        waitedIn.emplace(nearestFolderAbove(root), root + " is not watched");
    for (const auto& [root, target] : linkedRoots_)
        waitedIn.emplace(nearestFolderAbove(root), root + " is not watched for a change of its link");
    NameWatches onPaths;
    for (const auto& root : roots_)
        if (!isMissing(root))
            for (const auto& folder : foldersAbove(root))
                onPaths.emplace(folder, "the folders on the watched folders' paths are not watched for renames");
    const bool added = watchNames(ancestors_, waitedIn, ancestorMask); // a root left out is named first
    watchNames(pathFolders_, onPaths, pathMask);
    return added;
}

// Keeps the name watches of `watches` to the folders needed: drops the others,
// adds the missing ones with `mask`; true when one was added.
bool WatchTree::watchNames(std::map<std::string, int>& watches, NameWatches needed, std::uint32_t mask)
{
    for (auto it = watches.begin(); it != watches.end();) {
        if (needed.erase(it->first)) {
            ++it;
            continue;
        }
        const int wd = it->second;
        it = watches.erase(it);
        if (!folders_.contains(wd) && !isNameWatch(wd))
            inotify_rm_watch(fd_, wd);
    }
    bool added = false;
    for (const auto& [folder, leftOut] : needed) {
        const int wd = addWatch(fd_, folder, mask);
        if (wd >= 0) {
            watches[folder] = wd;
            added = true;
        } else if (errno == ENOSPC) {
            ancestorsUnwatched_ = true;
            noteWatchLimit(leftOut);
        }
    }
    return added;
}

std::vector<std::string> WatchTree::takeNotices()
{
    return std::exchange(notices_, {});
}

} // namespace platform::fsevents
