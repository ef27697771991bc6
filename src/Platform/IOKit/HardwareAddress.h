#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace platform::iokit {

using HardwareAddress = std::array<std::uint8_t, 6>;

// The hardware address of the primary network interface: the interface of the
// default route first, then the others by name; loopback interfaces and
// addresses that are not six non-zero bytes are passed over. Null when no
// interface qualifies. The folders are parameters so tests can plant their own.
std::optional<HardwareAddress> primaryHardwareAddress(const std::string& interfacesFolder = "/sys/class/net",
                                                      const std::string& routeTable = "/proc/net/route");

} // namespace platform::iokit
