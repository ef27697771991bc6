#pragma once

#include "Platform/Http/HttpTransfer.h"

#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

namespace testsupport {

// Answers with `body` a few bytes at a time, pausing between them, for as long as the
// client stays; the handler ends when the client gives up.
inline void trickle(httplib::Response& response, std::string body, std::size_t bytesPerStep = 2,
                    std::chrono::milliseconds pause = std::chrono::milliseconds(100))
{
    response.set_chunked_content_provider(
        "application/octet-stream", [body = std::move(body), bytesPerStep, pause](std::size_t offset, httplib::DataSink& sink) {
            if (offset >= body.size()) {
                sink.done();
                return true;
            }
            std::this_thread::sleep_for(pause);
            return sink.write(body.data() + offset, std::min(bytesPerStep, body.size() - offset));
        });
}

// A TCP port on 127.0.0.1 whose connections complete (the kernel takes them) but that
// nothing ever accepts or answers, while the object lives.
class SilentServer {
public:
    SilentServer()
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(fd_, 16) != 0
            || ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            throw std::runtime_error("no silent loopback port could be opened");
        port_ = ntohs(address.sin_port);
    }
    ~SilentServer() { ::close(fd_); }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    std::string url(const std::string& scheme, const std::string& path) const
    {
        return scheme + "://127.0.0.1:" + std::to_string(port_) + path;
    }

    // Whether a client has connected.
    bool wasContacted() const
    {
        pollfd waiting{fd_, POLLIN, 0};
        return ::poll(&waiting, 1, 0) > 0;
    }

private:
    int fd_ = -1;
    int port_ = 0;
};

// Every transfer deadline shortened by `factor` while the object lives.
class ShortTransferDeadlines {
public:
    explicit ShortTransferDeadlines(double factor) { platform::scaleTransferDeadlinesForTesting(factor); }
    ~ShortTransferDeadlines() { platform::scaleTransferDeadlinesForTesting(1.0); }
    ShortTransferDeadlines(const ShortTransferDeadlines&) = delete;
    ShortTransferDeadlines& operator=(const ShortTransferDeadlines&) = delete;
};

} // namespace testsupport
