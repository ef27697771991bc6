#pragma once

#include <optional>
#include <string>

namespace platform {

// One distributed notification as it travels in a datagram: the name, a zero
// byte, the object text.
struct DistributedMessage {
    std::string name;
    std::string object;

    std::string encode() const;
    // Null when the bytes hold no zero byte or an empty name.
    static std::optional<DistributedMessage> decode(const std::string& bytes);
};

} // namespace platform
