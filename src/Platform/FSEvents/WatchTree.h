#pragma once

#include "Platform/FSEvents/EventStream.h"

#include <sys/inotify.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace platform::fsevents {

// Adds an inotify watch, as inotify_add_watch does; tests put one of their own in
// its place (a full watch table, say). Null puts the system's back.
using AddWatch = int (*)(int fd, const char* path, std::uint32_t mask);
void setAddWatch(AddWatch addWatch);

// The inotify watches of a set of folder trees and the translation of inotify
// events into stream events. A root that is not there is waited for from its
// nearest existing ancestor and watched once it appears (again after it goes
// away); neither the ancestors' changes nor the root's own are reported. A root
// that is a link is followed when `followsLinkedRoot` allows it, its events
// named under the root's own path, and is judged again whenever its folder sees
// a change of that name; links below a root are never followed. Folders left
// unwatched at the system's watch limit are kept for retryUnwatched(). A root is
// judged again when a folder on its path is renamed, as the watches follow the
// folders they were made on. Used from one thread at a time.
class WatchTree {
public:
    explicit WatchTree(int inotifyFd, LinkedRootCheck followsLinkedRoot = {})
        : fd_(inotifyFd), followsLinkedRoot_(std::move(followsLinkedRoot))
    {
    }

    // Watches each root with every folder below it, silently; returns the events
    // of roots that were missing and appeared meanwhile.
    std::vector<Event> addRoots(const std::vector<std::string>& roots);

    // The stream events for one inotify event (none, or one with follow-ups
    // for what a newly made folder already holds).
    std::vector<Event> translate(const inotify_event& event);

    // Whether folders (or the folders roots are waited in) were left unwatched at
    // the system's watch limit and not yet watched.
    bool hasUnwatched() const { return !unwatched_.empty() || ancestorsUnwatched_; }
    // Tries again to watch what was left unwatched at the watch limit, topmost
    // first, stopping at the first that still cannot be watched; returns what each
    // folder watched now holds, as having arrived (created and renamed), and the
    // events of roots that appeared meanwhile.
    std::vector<Event> retryUnwatched();

    // The lines to tell the user since the last call: a linked root refused, the
    // first folder left unwatched at the system's watch limit, the event queue's
    // overflow; each at most once.
    std::vector<std::string> takeNotices();

private:
    // Calls with the path of each item below a watched folder, its path on disk and
    // whether it is a folder (a link is not); returns whether to go into a folder.
    using Visitor = std::function<bool(const std::string& path, const std::string& pathOnDisk, bool isFolder)>;

    bool addRootTree(const std::string& root);
    // Watches the folder (never through a link) and every folder below it; what it
    // holds is added to `arrived`, when given, as having arrived unseen. False when
    // the folder is not there.
    bool addTree(const std::string& folder, std::vector<Event>* arrived = nullptr);
    void forEachBelow(const std::string& folder, const Visitor& visit) const;
    // The folder's path on disk: under a root that is a link, in the folder it leads to.
    std::string onDisk(const std::string& folder) const;
    bool watchFolder(const std::string& folder, const std::string& disk);
    // Tells once that the limit is reached; `leftOut` says what is not watched
    // ("<folder> is not watched").
    void noteWatchLimit(const std::string& leftOut);
    void forgetTree(const std::string& folder);
    void forgetWatch(int wd, bool moved);
    void reportContents(const std::string& folder, std::vector<Event>& events);
    void translateTreeEvent(const inotify_event& event, std::vector<Event>& events);
    bool isAncestorWatch(int wd) const;
    // Whether the watch serves a folder watched for names (waited in, or on a path).
    bool isNameWatch(int wd) const;
    bool isMissing(const std::string& root) const;
    void forgetRoot(const std::string& root);
    bool rejudgeMovedPaths(const inotify_event& event);
    bool isWaitingEvent(const inotify_event& event) const;
    bool rejudgeNamedRoots(const inotify_event& event);
    void attachAppearedRoots(std::vector<Event>& events);
    bool watchAncestors();
    // Folder to watch for names -> what is left out while it cannot be watched.
    using NameWatches = std::map<std::string, std::string>;
    bool watchNames(std::map<std::string, int>& watches, NameWatches needed, std::uint32_t mask);

    int fd_;
    std::map<int, std::string> folders_;   // watch descriptor -> folder of a watched tree
    std::set<std::string> roots_;
    std::vector<std::string> missingRoots_;
    // Folder a missing root is waited for in -> its watch descriptor (two paths
    // to one folder share one).
    std::map<std::string, int> ancestors_;
    // Folder on the path of a watched root -> its watch descriptor.
    std::map<std::string, int> pathFolders_;
    LinkedRootCheck followsLinkedRoot_;
    std::map<std::string, std::string> linkedRoots_; // root that is a link -> the folder it leads to
    std::set<std::string> refusedRoots_;
    std::set<std::string> unwatched_; // folders of a tree left unwatched at the watch limit
    bool ancestorsUnwatched_ = false;
    bool watchLimitNoted_ = false;
    bool overflowNoted_ = false;
    std::vector<std::string> notices_;
};

std::uint64_t nextEventId();

} // namespace platform::fsevents
