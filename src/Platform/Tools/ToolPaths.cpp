#include "Platform/Tools/ToolPaths.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace platform {

namespace {

enum class Target { HostTool, StandIn };

struct ToolMapping {
    std::string_view macPath;
    Target target;
    std::string_view tool; // host path, or the stand-in's file name
};

constexpr std::array toolTable{
    ToolMapping{"/bin/sh", Target::HostTool, "/bin/sh"},
    ToolMapping{"/bin/mv", Target::HostTool, "/bin/mv"},
    ToolMapping{"/bin/cp", Target::HostTool, "/bin/cp"},
    ToolMapping{"/bin/rm", Target::HostTool, "/bin/rm"},
    ToolMapping{"/bin/chmod", Target::HostTool, "/bin/chmod"},
    ToolMapping{"/usr/sbin/chown", Target::HostTool, "/usr/bin/chown"},
    ToolMapping{"/usr/bin/unzip", Target::HostTool, "/usr/bin/unzip"},
    ToolMapping{"/bin/launchctl", Target::StandIn, "launchctl"},
    ToolMapping{"/usr/bin/open", Target::StandIn, "open"},
    ToolMapping{"/usr/sbin/system_profiler", Target::StandIn, "system_profiler"},
};

std::filesystem::path standInFolder()
{
    if (const char* folder = std::getenv("BG_TOOLS_DIR"); folder && *folder)
        return folder;
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : executable.parent_path();
}

} // namespace

std::string resolveToolPath(const std::string& macPath)
{
    for (const auto& mapping : toolTable) {
        if (mapping.macPath != macPath)
            continue;
        if (mapping.target == Target::HostTool)
            return std::string(mapping.tool);
        return (standInFolder() / mapping.tool).string();
    }
    return macPath;
}

} // namespace platform
