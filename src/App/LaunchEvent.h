#pragma once

#include <cstdint>
#include <optional>

// The Apple event that launched the application, as far as the launch tells it here:
// every launch is an open-application event; a launch by the session's login items
// carries the property data "launched as login item". The launcher of the login items
// says so through the environment variable BG_LAUNCH_EVENT=lgit.
struct AppleEvent {
    std::uint32_t eventID;
    std::optional<std::uint32_t> propertyData; // the 'prdt' parameter, when present
};

constexpr std::uint32_t fourCharCode(const char (&code)[5])
{
    return std::uint32_t(std::uint8_t(code[0])) << 24 | std::uint32_t(std::uint8_t(code[1])) << 16
         | std::uint32_t(std::uint8_t(code[2])) << 8 | std::uint32_t(std::uint8_t(code[3]));
}

inline constexpr std::uint32_t kAEOpenApplication = fourCharCode("oapp");
inline constexpr std::uint32_t keyAELaunchedAsLogInItem = fourCharCode("lgit");

// Null when the process was not launched by an Apple event.
std::optional<AppleEvent> currentAppleEvent();
