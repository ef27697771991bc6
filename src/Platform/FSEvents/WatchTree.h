#pragma once

#include "Platform/FSEvents/EventStream.h"

#include <sys/inotify.h>

#include <map>
#include <string>
#include <vector>

namespace platform::fsevents {

// The inotify watches of a set of folder trees and the translation of inotify
// events into stream events. Used from one thread at a time.
class WatchTree {
public:
    explicit WatchTree(int inotifyFd) : fd_(inotifyFd) {}

    // Watches the folder and every folder below it; false when it is no folder.
    bool addTree(const std::string& folder);

    // The stream events for one inotify event (none, or one with follow-ups
    // for what a newly made folder already holds).
    std::vector<Event> translate(const inotify_event& event);

    // Whether a watch or the event queue ran out since the last call.
    bool takeLimitReached();

private:
    void watchFolder(const std::string& folder);
    void forgetTree(const std::string& folder);
    void reportContents(const std::string& folder, std::vector<Event>& events);

    int fd_;
    std::map<int, std::string> folders_; // watch descriptor -> folder
    bool limitReached_ = false;
};

std::uint64_t nextEventId();

} // namespace platform::fsevents
