#include "Platform/Notifications/UnixSocketAddress.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

namespace platform {

namespace {

bool fits(const std::string& path, const sockaddr_un& address)
{
    return path.size() < sizeof(address.sun_path);
}

} // namespace

UnixSocketAddress::UnixSocketAddress(const std::string& path)
{
    address_.sun_family = AF_UNIX;
    std::string reachable = path;
    if (!fits(path, address_)) {
        const std::filesystem::path host(path);
        folder_ = ::open(host.parent_path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (folder_ < 0)
            return;
        reachable = "/proc/self/fd/" + std::to_string(folder_) + "/" + host.filename().string();
        if (!fits(reachable, address_))
            return;
    }
    std::memcpy(address_.sun_path, reachable.c_str(), reachable.size() + 1);
    valid_ = true;
}

UnixSocketAddress::~UnixSocketAddress()
{
    if (folder_ >= 0)
        ::close(folder_);
}

} // namespace platform
