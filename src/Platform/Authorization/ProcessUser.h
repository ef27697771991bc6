#pragma once

#include <sys/types.h>

namespace platform {

// The user id the platform sees for this process: $PLATFORM_UID when set (tests
// play an unprivileged or a root process with it), else the real user id.
uid_t processUserID();

} // namespace platform
