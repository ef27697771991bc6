#pragma once

#include <string>

#include <sys/types.h>

namespace platform {

// The user id the platform sees for this process: $PLATFORM_UID when set (tests
// play an unprivileged or a root process with it), else the real user id.
uid_t processUserID();

// Whether that user may write the item at `path` with its own rights. For the real
// user this is the system's own check; for a user that is played (processUserID()
// differs from the real user id) the item's owner and mode bits decide: root writes
// everything, the owner what the owner bits allow, anyone else what the bits for
// others allow. False when the item cannot be looked at.
bool userMayWrite(const std::string& path);
// The same of the item a descriptor (an O_PATH one too) holds: no path is walked.
bool userMayWriteOpened(int item);

// Whether that user may remove or move the item at `path` with its own rights: it
// may write the folder that holds it and, for a folder, the folder itself.
bool userMayRemove(const std::string& path);

} // namespace platform
