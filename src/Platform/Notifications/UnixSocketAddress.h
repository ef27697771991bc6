#pragma once

#include <sys/socket.h>
#include <sys/un.h>

#include <string>

namespace platform {

// The address of a Unix socket file. A path too long for sockaddr_un is
// reached through an open handle of its folder ("/proc/self/fd/N/name"),
// which the address keeps open for its lifetime.
class UnixSocketAddress {
public:
    explicit UnixSocketAddress(const std::string& path);
    ~UnixSocketAddress();
    UnixSocketAddress(const UnixSocketAddress&) = delete;
    UnixSocketAddress& operator=(const UnixSocketAddress&) = delete;

    // False when the path cannot be expressed (its folder cannot be opened).
    bool valid() const { return valid_; }
    const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&address_); }
    socklen_t size() const { return sizeof(address_); }

private:
    sockaddr_un address_{};
    int folder_ = -1;
    bool valid_ = false;
};

} // namespace platform
