#pragma once

#include <any>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace platform {

// userInfo values are the typed objects themselves: a receiver tells an
// enumeration value from a bare number by the held type.
using UserInfo = std::map<std::string, std::any>;

struct Notification {
    std::string name;
    std::any object;
    UserInfo userInfo;

    // The entry under `key` when it holds exactly a T; null otherwise.
    template <class T>
    const T* value(const std::string& key) const
    {
        auto it = userInfo.find(key);
        return it == userInfo.end() ? nullptr : std::any_cast<T>(&it->second);
    }
};

// Keeps an observation alive; destroying (or resetting) it removes the observer.
// An owner holds its tokens as members, so its observers end with it.
class ObservationToken {
public:
    ObservationToken() = default;
    explicit ObservationToken(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
    ObservationToken(ObservationToken&& other) noexcept : cancel_(std::exchange(other.cancel_, {})) {}
    ObservationToken& operator=(ObservationToken&& other) noexcept
    {
        if (this != &other) {
            reset();
            cancel_ = std::exchange(other.cancel_, {});
        }
        return *this;
    }
    ObservationToken(const ObservationToken&) = delete;
    ObservationToken& operator=(const ObservationToken&) = delete;
    ~ObservationToken() { reset(); }

    void reset()
    {
        if (cancel_)
            std::exchange(cancel_, {})();
    }

private:
    std::function<void()> cancel_;
};

// NSNotificationCenter.defaultCenter: delivery is synchronous, on the posting
// thread, in the order observers were added. Observers may be added or removed
// from inside a delivery; one removed during a post is not called after removal.
class NotificationCenter {
public:
    using Handler = std::function<void(const Notification&)>;

    static NotificationCenter& defaultCenter();

    [[nodiscard]] ObservationToken addObserver(const std::string& name, Handler handler);
    void post(const std::string& name, UserInfo userInfo = {}, std::any object = {});
    // Delivers a notification the poster built (and may fill again for its next post).
    void post(const Notification& notification);

private:
    struct Entry;
    // The observers of one name in order of adding; replaced, never changed, so a
    // post delivers to the list it found without copying it.
    using Observers = std::vector<std::shared_ptr<Entry>>;
    void removeObserver(const std::shared_ptr<Entry>& entry);

    std::mutex mutex_;
    std::unordered_map<std::string, std::shared_ptr<const Observers>> observersByName_;
};

} // namespace platform
