#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

namespace platform {

// The fields of /proc/<pid>/stat that follow the command name: [0] is the state
// ("Z" for a zombie), [19] the start time in clock ticks after boot. Empty when the
// process is gone.
std::vector<std::string> processStatFields(pid_t pid);

} // namespace platform
