#include "Platform/Notifications/NotificationCenter.h"

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
        auto& observers = observersByName_[name];
        auto added = observers ? std::make_shared<Observers>(*observers) : std::make_shared<Observers>();
        added->push_back(entry);
        observers = std::move(added);
    }
    return ObservationToken([this, weakEntry = std::weak_ptr<Entry>(entry)] {
        if (const auto entry = weakEntry.lock())
            removeObserver(entry);
    });
}

void NotificationCenter::removeObserver(const std::shared_ptr<Entry>& entry)
{
    entry->alive = false;
    std::lock_guard lock(mutex_);
    const auto found = observersByName_.find(entry->name);
    if (found == observersByName_.end())
        return;
    auto remaining = std::make_shared<Observers>(*found->second);
    std::erase(*remaining, entry);
    if (remaining->empty())
        observersByName_.erase(found);
    else
        found->second = std::move(remaining);
}

void NotificationCenter::post(const std::string& name, UserInfo userInfo, std::any object)
{
    post(Notification{name, std::move(object), std::move(userInfo)});
}

void NotificationCenter::post(const Notification& notification)
{
    // Handlers run outside the lock on the list of observers as it was, so they
    // may add or remove observers; one removed meanwhile is skipped by its flag.
    std::shared_ptr<const Observers> observers;
    {
        std::lock_guard lock(mutex_);
        const auto found = observersByName_.find(notification.name);
        if (found == observersByName_.end())
            return;
        observers = found->second;
    }
    for (const auto& entry : *observers)
        if (entry->alive)
            entry->handler(notification);
}

} // namespace platform
