#include "Platform/Notifications/NotificationCenter.h"

#include <algorithm>
#include <atomic>

namespace platform {

struct NotificationCenter::Entry {
    std::string name;
    Handler handler;
    std::atomic<bool> alive{true};
};

NotificationCenter& NotificationCenter::defaultCenter()
{
    // Never destroyed, so tokens held by static objects can still cancel at exit.
    static NotificationCenter* center = new NotificationCenter;
    return *center;
}

ObservationToken NotificationCenter::addObserver(const std::string& name, Handler handler)
{
    auto entry = std::make_shared<Entry>();
    entry->name = name;
    entry->handler = std::move(handler);
    {
        std::lock_guard lock(mutex_);
        entries_.push_back(entry);
    }
    return ObservationToken([this, weakEntry = std::weak_ptr<Entry>(entry)] {
        const auto entry = weakEntry.lock();
        if (!entry)
            return;
        entry->alive = false;
        std::lock_guard lock(mutex_);
        std::erase(entries_, entry);
    });
}

void NotificationCenter::post(const std::string& name, UserInfo userInfo, std::any object)
{
    // Handlers run outside the lock on a snapshot of the observers, so they may
    // add or remove observers; one removed meanwhile is skipped by its flag.
    std::vector<std::shared_ptr<Entry>> observers;
    {
        std::lock_guard lock(mutex_);
        std::copy_if(entries_.begin(), entries_.end(), std::back_inserter(observers),
                     [&](const auto& entry) { return entry->name == name; });
    }
    const Notification notification{name, std::move(object), std::move(userInfo)};
    for (const auto& entry : observers)
        if (entry->alive)
            entry->handler(notification);
}

} // namespace platform
