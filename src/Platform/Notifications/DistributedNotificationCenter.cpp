#include "Platform/Notifications/DistributedNotificationCenter.h"

#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Notifications/NotificationSocket.h"
#include "Platform/Root/PlatformRoot.h"

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <vector>

namespace fs = std::filesystem;

namespace platform {

namespace {

struct Observer {
    std::string name;
    std::string object;
    DistributedNotificationCenter::Handler handler;
    std::atomic<bool> alive{true};

    bool matches(const DistributedMessage& message) const
    {
        return alive && name == message.name && (object.empty() || object == message.object);
    }
};

// Read on every use: tests give each run its own platform root.
fs::path socketFolder()
{
    return fs::path(homeDirectory()) / "Library/Caches/DistributedNotifications";
}

// Sends to every socket of the folder; a socket nobody listens on any more
// belongs to a process that is gone and is removed.
void sendToEveryListener(const DistributedMessage& message)
{
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(socketFolder(), error)) {
        if (!entry.is_socket(error))
            continue;
        const auto path = entry.path().string();
        if (NotificationSocket::send(path, message) == NotificationSocket::SendResult::NoListener)
            fs::remove(path, error);
    }
}

} // namespace

struct DistributedNotificationCenter::Impl {
    std::mutex mutex;
    std::vector<std::shared_ptr<Observer>> observers;
    std::unique_ptr<NotificationSocket> socket;

    // While anything is observed, this process listens on its socket, bound anew
    // when the file went away (or the platform root changed).
    void listenWhileObservedLocked()
    {
        if (observers.empty()) {
            socket.reset();
            return;
        }
        const auto path = (socketFolder() / std::to_string(::getpid())).string();
        if (socket && socket->path() == path && socket->isStillBound())
            return;
        socket.reset();
        std::error_code error;
        fs::create_directories(socketFolder(), error);
        socket = NotificationSocket::listen(path, [this](const DistributedMessage& message) {
            dispatch::asyncMain([this, message] { deliver(message); });
        });
    }

    void deliver(const DistributedMessage& message)
    {
        std::vector<std::shared_ptr<Observer>> matching;
        {
            std::lock_guard lock(mutex);
            for (const auto& observer : observers)
                if (observer->matches(message))
                    matching.push_back(observer);
        }
        for (const auto& observer : matching)
            if (observer->alive)
                observer->handler(message.name, message.object);
    }

    void remove(const std::shared_ptr<Observer>& observer)
    {
        observer->alive = false;
        std::lock_guard lock(mutex);
        std::erase(observers, observer);
        listenWhileObservedLocked();
    }
};

DistributedNotificationCenter& DistributedNotificationCenter::defaultCenter()
{
    // Never destroyed: its receiving thread queues work that refers to it.
    static DistributedNotificationCenter* center = new DistributedNotificationCenter;
    return *center;
}

DistributedNotificationCenter::DistributedNotificationCenter() : impl_(std::make_unique<Impl>()) {}

DistributedNotificationCenter::~DistributedNotificationCenter() = default;

ObservationToken DistributedNotificationCenter::addObserver(const std::string& name,
                                                            const std::string& object, Handler handler)
{
    auto observer = std::make_shared<Observer>();
    observer->name = name;
    observer->object = object;
    observer->handler = std::move(handler);
    {
        std::lock_guard lock(impl_->mutex);
        impl_->observers.push_back(observer);
        impl_->listenWhileObservedLocked();
    }
    return ObservationToken([impl = impl_.get(), weakObserver = std::weak_ptr<Observer>(observer)] {
        if (const auto observer = weakObserver.lock())
            impl->remove(observer);
    });
}

void DistributedNotificationCenter::post(const std::string& name, const std::string& object)
{
    {
        std::lock_guard lock(impl_->mutex);
        impl_->listenWhileObservedLocked();
    }
    sendToEveryListener(DistributedMessage{name, object});
}

} // namespace platform
