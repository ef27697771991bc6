#include "App/LaunchEvent.h"

#include <cstdlib>
#include <cstring>

std::optional<AppleEvent> currentAppleEvent()
{
    AppleEvent event{kAEOpenApplication, std::nullopt};
    const char* launch = std::getenv("BG_LAUNCH_EVENT");
    if (launch && std::strlen(launch) == 4)
        event.propertyData = fourCharCode(reinterpret_cast<const char(&)[5]>(*launch));
    return event;
}
