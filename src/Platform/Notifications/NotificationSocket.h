#pragma once

#include "Platform/Notifications/DistributedMessage.h"

#include <sys/types.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace platform {

// A Unix datagram socket bound at a file path, receiving distributed
// notifications on a thread of its own. Destroying it stops the thread and
// removes the file.
class NotificationSocket {
public:
    using Receiver = std::function<void(const DistributedMessage&)>;

    // Binds at `path` (a stale file there is replaced); null when that fails.
    static std::unique_ptr<NotificationSocket> listen(const std::string& path, Receiver receiver);
    ~NotificationSocket();
    NotificationSocket(const NotificationSocket&) = delete;
    NotificationSocket& operator=(const NotificationSocket&) = delete;

    const std::string& path() const { return path_; }
    // False once the socket file was removed or replaced by someone else.
    bool isStillBound() const;

    enum class SendResult { Sent, NoListener, Failed };
    // Sends one message to the socket file at `path` without waiting.
    static SendResult send(const std::string& path, const DistributedMessage& message);

private:
    NotificationSocket(int socket, int stopEvent, std::string path, Receiver receiver);
    void receive();

    int socket_;
    int stopEvent_;
    std::string path_;
    ino_t inode_ = 0;
    Receiver receiver_;
    std::thread thread_;
};

} // namespace platform
