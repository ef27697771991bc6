#pragma once

#include <filesystem>
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

// The inotify watches this process holds, over all its inotify instances, from /proc.
inline long inotifyWatchCount()
{
    long watches = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fdinfo")) {
        std::ifstream info(entry.path());
        for (std::string line; std::getline(info, line);)
            watches += line.starts_with("inotify wd:");
    }
    return watches;
}

} // namespace testsupport
