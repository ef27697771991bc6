#include "Platform/FSEvents/EventStream.h"

#include "Platform/Dispatch/Dispatch.h"
#include "Platform/FSEvents/WatchTree.h"
#include "Platform/Root/PathText.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <thread>

namespace platform::fsevents {

struct EventStream::Impl {
    std::vector<std::string> roots;
    Handler handler;
    DeliveryQueue queue;
    int inotifyFd = -1;
    int wakeFd = -1;
    WatchTree tree{-1};
    std::thread reader;
    std::shared_ptr<std::atomic<bool>> delivering = std::make_shared<std::atomic<bool>>(true);
    bool started = false;

    ~Impl()
    {
        if (inotifyFd >= 0)
            close(inotifyFd);
        if (wakeFd >= 0)
            close(wakeFd);
    }

    // Waits for events, and while folders are left unwatched at the watch limit,
    // tries them again every retryInterval.
    void readLoop()
    {
        using Clock = std::chrono::steady_clock;
        alignas(inotify_event) char buffer[64 * 1024];
        pollfd fds[2] = {{inotifyFd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        std::optional<Clock::time_point> retryAt;
        for (;;) {
            if (!tree.hasUnwatched())
                retryAt.reset();
            else if (!retryAt)
                retryAt = Clock::now() + retryInterval;
            int timeout = -1;
            if (retryAt) {
                const auto left = std::chrono::ceil<std::chrono::milliseconds>(*retryAt - Clock::now());
                timeout = static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
            }
            const int ready = poll(fds, 2, timeout);
            if (ready < 0) {
                if (errno == EINTR)
                    continue;
                return;
            }
            if (fds[1].revents)
                return;
            if (retryAt && Clock::now() >= *retryAt) {
                retryAt.reset();
                deliver(tree.retryUnwatched());
                reportNotices();
            }
            if (ready == 0 || !(fds[0].revents & POLLIN))
                continue;
            const ssize_t length = read(inotifyFd, buffer, sizeof buffer);
            if (length > 0)
                deliver(translate(buffer, static_cast<size_t>(length)));
        }
    }

    std::vector<Event> translate(const char* buffer, size_t length)
    {
        std::vector<Event> events;
        for (size_t offset = 0; offset < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            for (auto& translated : tree.translate(*event))
                events.push_back(std::move(translated));
            offset += sizeof(inotify_event) + event->len;
        }
        reportNotices();
        return events;
    }

    void reportNotices()
    {
        for (const auto& notice : tree.takeNotices())
            std::fprintf(stderr, "File watcher: %s\n", notice.c_str());
    }

    void deliver(std::vector<Event> events)
    {
        if (events.empty())
            return;
        queue([events = std::move(events), handler = handler, delivering = delivering] {
            for (const auto& event : events) {
                if (!*delivering)
                    return;
                handler(event);
            }
        });
    }
};

std::unique_ptr<EventStream> EventStream::create(std::vector<std::string> roots, Handler handler, DeliveryQueue queue,
                                                 LinkedRootCheck followsLinkedRoot)
{
    auto impl = std::make_unique<Impl>();
    impl->inotifyFd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    impl->wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (impl->inotifyFd < 0 || impl->wakeFd < 0) {
        const int reason = errno;
        impl.reset();
        errno = reason;
        return nullptr;
    }
    for (auto& root : roots)
        impl->roots.push_back(withoutTrailingSlashes(std::move(root)));
    impl->handler = std::move(handler);
    impl->queue = queue ? std::move(queue) : DeliveryQueue([](std::function<void()> task) {
        platform::dispatch::asyncMain(std::move(task));
    });
    impl->tree = WatchTree(impl->inotifyFd, std::move(followsLinkedRoot));
    return std::unique_ptr<EventStream>(new EventStream(std::move(impl)));
}

EventStream::EventStream(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

EventStream::~EventStream()
{
    stop();
}

bool EventStream::start()
{
    if (impl_->started)
        return false;
    impl_->started = true;
    impl_->deliver(impl_->tree.addRoots(impl_->roots));
    impl_->reportNotices();
    impl_->reader = std::thread([impl = impl_.get()] { impl->readLoop(); });
    return true;
}

void EventStream::stop()
{
    *impl_->delivering = false;
    if (!impl_->reader.joinable())
        return;
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = write(impl_->wakeFd, &one, sizeof one);
    impl_->reader.join();
}

} // namespace platform::fsevents
