#include "Platform/Authorization/ProcessUser.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace platform {

uid_t processUserID()
{
    if (const char* text = std::getenv("PLATFORM_UID"); text && *text) {
        try {
            return static_cast<uid_t>(std::stoul(text));
        } catch (const std::exception&) {
        }
    }
    return getuid();
}

} // namespace platform
