#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform::fsevents {

// Item flags with the values FSEvents gives them.
inline constexpr std::uint32_t kItemCreated = 0x100;
inline constexpr std::uint32_t kItemRemoved = 0x200;
inline constexpr std::uint32_t kItemRenamed = 0x800;
inline constexpr std::uint32_t kItemModified = 0x1000;
inline constexpr std::uint32_t kItemIsFile = 0x10000;
inline constexpr std::uint32_t kItemIsDir = 0x20000;

// Stream creation flags (the stream always reports one event per file).
inline constexpr std::uint32_t kCreateFlagUseCFTypes = 0x01;
inline constexpr std::uint32_t kCreateFlagFileEvents = 0x10;

struct Event {
    std::uint64_t id;  // increasing within the process
    std::string path;  // absolute, without a trailing or doubled "/"
    std::uint32_t flags;
};

// How often what the system refused a stream is tried again.
inline constexpr std::chrono::seconds retryInterval{5};

// Runs a delivery; the default is the main queue.
using DeliveryQueue = std::function<void(std::function<void()>)>;

// Whether a root that is a link (given as the root's path) may be followed.
using LinkedRootCheck = std::function<bool(const std::string& root)>;

// An FSEvents stream over inotify: every root is watched with all the folders
// below it, folders made or moved in later included, and only what happens
// after start() is reported: created, removed, renamed (on both sides of a
// move), modified (a file closed after writing), each with item-is-file or
// item-is-dir. A root that is not there (at the start or later) is watched once
// it appears: what it holds then, made in it or moved in with it, is reported
// as created; the root itself and the folders above it are not. A root that is
// a link is followed only when `followsLinkedRoot` allows it (all are, without
// one), and its events keep the root's path; a refused root is not watched,
// with one line on standard error; a root that is a link is judged again when the
// link is made, removed or re-pointed. Links below a root are not followed. When
// the system's watch limit is reached, one line names the first watched folder
// left out (or says that the folders on the watched folders' paths are not
// watched for renames), and the folders left unwatched are tried again every retryInterval
// until they are watched, reporting from then on; when the event queue
// overflows, one line says so (each once a stream); no event is made up for
// either. Events are handed over in batches, on the delivery queue, in the order
// they happened.
class EventStream {
public:
    using Handler = std::function<void(const Event&)>;

    // Null when the system gives no inotify instance (errno tells why).
    [[nodiscard]] static std::unique_ptr<EventStream> create(std::vector<std::string> roots, Handler handler,
                                                             DeliveryQueue queue = {},
                                                             LinkedRootCheck followsLinkedRoot = {});
    ~EventStream();
    EventStream(const EventStream&) = delete;
    EventStream& operator=(const EventStream&) = delete;

    // Watches the roots and starts reporting; false when already started.
    bool start();
    // Stops reporting; batches already queued are dropped. The stream is done after it.
    void stop();

private:
    struct Impl;
    explicit EventStream(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace platform::fsevents
