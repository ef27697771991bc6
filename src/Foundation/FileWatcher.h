#pragma once

#include "Platform/Dispatch/Dispatch.h"
#include "Platform/FSEvents/EventStream.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One file-system event: its identifier, the path it concerns and its FSEvents
// flags. Each predicate holds when all bits of its mask are set.
class FileWatcherEvent {
public:
    std::uint64_t id = 0;
    std::string path;
    std::uint32_t flags = 0;

    bool fileCreated() const { return has(0x10100); }
    bool fileRemoved() const { return has(0x10200); }
    bool fileRenamed() const { return has(0x10800); }
    bool fileModified() const { return has(0x11000); }
    bool dirCreated() const { return has(0x20100); }
    bool dirRemoved() const { return has(0x20200); }
    bool dirRenamed() const { return has(0x20800); }
    bool dirModified() const { return has(0x21000); }

    // "The file <path> was created", and so on; removed wins over created,
    // created over renamed, renamed over modified.
    std::string description() const;

private:
    bool has(std::uint32_t mask) const { return (flags & mask) == mask; }
};

// Watches a fixed list of folders and hands every event to `callback`, one at a
// time, on the main queue (or on `queue` when it is set before start()). The
// owner keeps the watcher while it wants events and destroys it on the thread
// events arrive on; destroying it stops the stream.
class FileWatcher {
public:
    using Callback = std::function<void(const FileWatcherEvent&)>;

    explicit FileWatcher(std::vector<std::string> paths);
    ~FileWatcher();
    FileWatcher(const FileWatcher&) = delete;
    FileWatcher& operator=(const FileWatcher&) = delete;

    const std::vector<std::string>& filePaths() const { return filePaths_; }

    // Read anew for each event; events that find it unset are dropped.
    Callback callback;
    // Read by start() only.
    std::optional<platform::fsevents::DeliveryQueue> queue;

    // Starts the stream over the paths, reporting from now on; a path that is
    // not there yet is watched once it appears. A path that is a link is followed
    // only to a folder the user owns, wherever it lies, other than the home or a
    // folder above it (a second disk's Downloads, say), judged again
    // whenever the link changes, and its events keep the path as written. Does
    // nothing while a stream runs. A stream the system cannot give (no inotify
    // instance left) is told in one line and tried again on the main queue every
    // 5 seconds until it starts, reporting from then on; so are folders the
    // system's watch limit left unwatched, by the stream itself.
    void start();
    // Ends the stream (or the retries); a later start() makes a new one.
    void stop();

private:
    // False (errno telling why) when the system gives no stream.
    bool startStream();
    void deliver(const platform::fsevents::Event& event);

    std::vector<std::string> filePaths_;
    std::unique_ptr<platform::fsevents::EventStream> streamRef_;
    std::unique_ptr<platform::dispatch::RepeatingTimer> retry_;
};
