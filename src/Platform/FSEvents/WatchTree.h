#pragma once

#include "Platform/FSEvents/EventStream.h"

#include <sys/inotify.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace platform::fsevents {

// The inotify watches of a set of folder trees and the translation of inotify
// events into stream events. A root that is not there is waited for from its
// nearest existing ancestor and watched once it appears (again after it goes
// away); neither the ancestors' changes nor the root's own are reported. Used
// from one thread at a time.
class WatchTree {
public:
    explicit WatchTree(int inotifyFd) : fd_(inotifyFd) {}

    // Watches each root with every folder below it, silently; returns the events
    // of roots that were missing and appeared meanwhile.
    std::vector<Event> addRoots(const std::vector<std::string>& roots);

    // The stream events for one inotify event (none, or one with follow-ups
    // for what a newly made folder already holds).
    std::vector<Event> translate(const inotify_event& event);

    // Whether a watch or the event queue ran out since the last call.
    bool takeLimitReached();

private:
    bool addTree(const std::string& folder);
    void watchFolder(const std::string& folder);
    void forgetTree(const std::string& folder);
    void forgetWatch(int wd, bool moved);
    void reportContents(const std::string& folder, std::vector<Event>& events);
    void translateTreeEvent(const inotify_event& event, std::vector<Event>& events);
    bool isAncestorWatch(int wd) const;
    bool isWaitingEvent(const inotify_event& event) const;
    void attachAppearedRoots(std::vector<Event>& events);
    bool watchAncestors();

    int fd_;
    std::map<int, std::string> folders_;   // watch descriptor -> folder of a watched tree
    std::set<std::string> roots_;
    std::vector<std::string> missingRoots_;
    // Folder a missing root is waited for in -> its watch descriptor (two paths
    // to one folder share one).
    std::map<std::string, int> ancestors_;
    bool limitReached_ = false;
};

std::uint64_t nextEventId();

} // namespace platform::fsevents
