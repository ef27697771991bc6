#pragma once

#include "Platform/Workspace/ProcessStat.h"

#include <unistd.h>

#include <charconv>

// User plus system CPU time of a process, in seconds.
inline double cpuSecondsOf(pid_t pid)
{
    const auto fields = platform::processStatFields(pid);
    if (fields.size() < 13)
        return 0;
    unsigned long long user = 0, system = 0;
    std::from_chars(fields[11].data(), fields[11].data() + fields[11].size(), user);
    std::from_chars(fields[12].data(), fields[12].data() + fields[12].size(), system);
    return static_cast<double>(user + system) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}
