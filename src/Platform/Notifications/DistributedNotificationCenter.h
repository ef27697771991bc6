#pragma once

#include "Platform/Notifications/NotificationCenter.h"

#include <functional>
#include <memory>
#include <string>

namespace platform {

// NSDistributedNotificationCenter between the processes of one user: each
// observing process binds a Unix datagram socket in a per-user folder under the
// platform root ("~/Library/Caches/DistributedNotifications/"); a post sends the
// name and object text to every socket there. Handlers run on the main queue.
class DistributedNotificationCenter {
public:
    using Handler = std::function<void(const std::string& name, const std::string& object)>;

    static DistributedNotificationCenter& defaultCenter();

    // Observes `name` posted with `object` (an empty object matches any).
    [[nodiscard]] ObservationToken addObserver(const std::string& name, const std::string& object,
                                               Handler handler);

    // Delivers to every observing process of the user, this one included.
    void post(const std::string& name, const std::string& object);

    ~DistributedNotificationCenter();

private:
    DistributedNotificationCenter();
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace platform
