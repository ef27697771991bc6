#pragma once

#include "Platform/FSEvents/WatchTree.h"

#include <sys/inotify.h>

#include <atomic>
#include <cerrno>

namespace testsupport {

// Stands for the system's inotify_add_watch with a watch table that is full until
// lift(), counting the watches asked for; in place for the life of the object.
class FullWatchTable {
public:
    FullWatchTable()
    {
        full() = true;
        asked() = 0;
        platform::fsevents::setAddWatch([](int fd, const char* path, std::uint32_t mask) {
            ++asked();
            if (!full())
                return inotify_add_watch(fd, path, mask);
            errno = ENOSPC;
            return -1;
        });
    }
    ~FullWatchTable() { platform::fsevents::setAddWatch(nullptr); }
    FullWatchTable(const FullWatchTable&) = delete;
    FullWatchTable& operator=(const FullWatchTable&) = delete;

    void lift() { full() = false; }
    // The watches asked for since the last call.
    int takeWatchesAskedFor() { return asked().exchange(0); }

private:
    static std::atomic<bool>& full()
    {
        static std::atomic<bool> isFull{false};
        return isFull;
    }
    static std::atomic<int>& asked()
    {
        static std::atomic<int> count{0};
        return count;
    }
};

} // namespace testsupport
