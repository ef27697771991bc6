#pragma once

#include <httplib.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

// An HTTP server on 127.0.0.1 at a free port, running while the object lives.
// Routes are set on `server` before start().
class LoopbackServer {
public:
    httplib::Server server;

    void start()
    {
        port_ = server.bind_to_any_port("127.0.0.1");
        if (port_ < 0) // nothing would ever run: fail now instead of waiting forever
            throw std::runtime_error("no loopback port could be bound");
        thread_ = std::thread([this] { server.listen_after_bind(); });
        while (!server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    ~LoopbackServer()
    {
        server.stop();
        if (thread_.joinable())
            thread_.join();
    }

    std::string url(const std::string& path) const
    {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }

private:
    int port_ = 0;
    std::thread thread_;
};
