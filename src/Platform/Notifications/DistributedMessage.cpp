#include "Platform/Notifications/DistributedMessage.h"

namespace platform {

std::string DistributedMessage::encode() const
{
    return name + '\0' + object;
}

std::optional<DistributedMessage> DistributedMessage::decode(const std::string& bytes)
{
    const auto separator = bytes.find('\0');
    if (separator == std::string::npos || separator == 0)
        return std::nullopt;
    return DistributedMessage{bytes.substr(0, separator), bytes.substr(separator + 1)};
}

} // namespace platform
