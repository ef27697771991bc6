#include "Platform/FSEvents/WatchTree.h"

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <utility>

namespace fs = std::filesystem;

namespace platform::fsevents {

namespace {

constexpr std::uint32_t watchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE |
                                    IN_ONLYDIR | IN_DONT_FOLLOW;

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

} // namespace

std::uint64_t nextEventId()
{
    static std::atomic<std::uint64_t> lastId{0};
    return ++lastId;
}

bool WatchTree::addTree(const std::string& folder)
{
    std::error_code error;
    if (!fs::is_directory(folder, error))
        return false;
    watchFolder(folder);
    const auto options = fs::directory_options::skip_permission_denied;
    for (fs::recursive_directory_iterator it(folder, options, error), end; !error && it != end;
         it.increment(error)) {
        if (isFolder(it->path()))
            watchFolder(it->path().string());
    }
    return true;
}

void WatchTree::watchFolder(const std::string& folder)
{
    const int wd = inotify_add_watch(fd_, folder.c_str(), watchMask);
    if (wd >= 0)
        folders_[wd] = folder;
    else if (errno == ENOSPC)
        limitReached_ = true;
}

void WatchTree::forgetTree(const std::string& folder)
{
    const std::string below = folder + "/";
    for (auto it = folders_.begin(); it != folders_.end();) {
        if (it->second == folder || it->second.starts_with(below)) {
            inotify_rm_watch(fd_, it->first);
            it = folders_.erase(it);
        } else {
            ++it;
        }
    }
}

void WatchTree::reportContents(const std::string& folder, std::vector<Event>& events)
{
    std::error_code error;
    const auto options = fs::directory_options::skip_permission_denied;
    for (fs::recursive_directory_iterator it(folder, options, error), end; !error && it != end;
         it.increment(error))
        events.push_back({nextEventId(), it->path().string(), kItemCreated | itemKind(isFolder(it->path()))});
}

std::vector<Event> WatchTree::translate(const inotify_event& event)
{
    std::vector<Event> events;
    if (event.mask & IN_Q_OVERFLOW)
        limitReached_ = true;
    if (event.mask & IN_IGNORED) {
        folders_.erase(event.wd);
        return events;
    }
    const auto folder = folders_.find(event.wd);
    if (folder == folders_.end() || event.len == 0 || event.name[0] == '\0')
        return events;

    const std::string path = folder->second + "/" + event.name;
    const bool folderItem = event.mask & IN_ISDIR;
    std::uint32_t flags = 0;
    for (const auto& mapping : flagTable)
        if (event.mask & mapping.inotifyMask)
            flags |= mapping.flag;
    if (flags == 0)
        return events;
    events.push_back({nextEventId(), path, flags | itemKind(folderItem)});

    if (folderItem && (event.mask & IN_MOVED_FROM))
        forgetTree(path);
    if (folderItem && (event.mask & (IN_CREATE | IN_MOVED_TO)) && addTree(path) && (event.mask & IN_CREATE))
        reportContents(path, events);
    return events;
}

bool WatchTree::takeLimitReached()
{
    return std::exchange(limitReached_, false);
}

} // namespace platform::fsevents
