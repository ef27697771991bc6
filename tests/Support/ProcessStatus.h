#pragma once

#include <fstream>
#include <string>

namespace testsupport {

// The times a process has been switched out (and woken again) so far, from /proc.
inline long long contextSwitches(long long pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    long long switches = 0;
    for (std::string line; std::getline(status, line);)
        if (line.find("ctxt_switches:") != std::string::npos)
            switches += std::stoll(line.substr(line.find(':') + 1));
    return switches;
}

} // namespace testsupport
