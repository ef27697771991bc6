#include "Platform/Notifications/NotificationSocket.h"

#include "Platform/Notifications/UnixSocketAddress.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

namespace {

constexpr std::size_t kLargestMessage = 64 * 1024;

ino_t inodeOf(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode) ? info.st_ino : 0;
}

int bindSocket(const std::string& path)
{
    const UnixSocketAddress address(path);
    if (!address.valid())
        return -1;
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    ::unlink(path.c_str());
    if (::bind(fd, address.get(), address.size()) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

std::unique_ptr<NotificationSocket> NotificationSocket::listen(const std::string& path, Receiver receiver)
{
    const int socket = bindSocket(path);
    if (socket < 0)
        return nullptr;
    const int stopEvent = ::eventfd(0, EFD_CLOEXEC);
    if (stopEvent < 0) {
        ::close(socket);
        ::unlink(path.c_str());
        return nullptr;
    }
    return std::unique_ptr<NotificationSocket>(
        new NotificationSocket(socket, stopEvent, path, std::move(receiver)));
}

NotificationSocket::NotificationSocket(int socket, int stopEvent, std::string path, Receiver receiver)
    : socket_(socket), stopEvent_(stopEvent), path_(std::move(path)), inode_(inodeOf(path_)),
      receiver_(std::move(receiver)), thread_([this] { receive(); })
{
}

NotificationSocket::~NotificationSocket()
{
    const std::uint64_t stop = 1;
    [[maybe_unused]] const auto written = ::write(stopEvent_, &stop, sizeof stop);
    thread_.join();
    if (isStillBound())
        ::unlink(path_.c_str());
    ::close(socket_);
    ::close(stopEvent_);
}

bool NotificationSocket::isStillBound() const
{
    return inode_ != 0 && inodeOf(path_) == inode_;
}

void NotificationSocket::receive()
{
    std::string buffer(kLargestMessage, '\0');
    pollfd watched[] = {{socket_, POLLIN, 0}, {stopEvent_, POLLIN, 0}};
    for (;;) {
        if (::poll(watched, 2, -1) < 0 && errno != EINTR)
            return;
        if (watched[1].revents)
            return;
        if (!(watched[0].revents & POLLIN))
            continue;
        const ssize_t size = ::recv(socket_, buffer.data(), buffer.size(), MSG_DONTWAIT);
        if (size < 0)
            continue;
        if (auto message = DistributedMessage::decode(buffer.substr(0, size)))
            receiver_(*message);
    }
}

NotificationSocket::SendResult NotificationSocket::send(const std::string& path,
                                                        const DistributedMessage& message)
{
    const UnixSocketAddress address(path);
    if (!address.valid())
        return SendResult::Failed;
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return SendResult::Failed;
    const std::string bytes = message.encode();
    const bool sent = ::sendto(fd, bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                               address.get(), address.size()) == static_cast<ssize_t>(bytes.size());
    const int error = errno;
    ::close(fd);
    if (sent)
        return SendResult::Sent;
    return error == ECONNREFUSED ? SendResult::NoListener : SendResult::Failed;
}

} // namespace platform

