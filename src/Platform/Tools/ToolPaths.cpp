#include "Platform/Tools/ToolPaths.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include <unistd.h>

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

bool isExecutableFile(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

std::optional<std::string> findOnSearchPath(std::string_view name)
{
    const char* searchPath = std::getenv("PATH");
    std::string_view folders = searchPath ? searchPath : "";
    while (!folders.empty()) {
        const auto end = folders.find(':');
        const std::string_view folder = folders.substr(0, end);
        folders = end == std::string_view::npos ? std::string_view() : folders.substr(end + 1);
        // Only absolute folders: an empty or relative entry would name the current folder.
        if (folder.empty() || folder.front() != '/')
            continue;
        const auto candidate = std::filesystem::path(folder) / name;
        if (isExecutableFile(candidate))
            return candidate.string();
    }
    return std::nullopt;
}

} // namespace

std::filesystem::path standInToolFolder()
{
    if (const char* folder = std::getenv("BG_TOOLS_DIR"); folder && *folder)
        return folder;
    // Taken once: once the bundle has been replaced, /proc/self/exe names the old
    // executable, moved aside and deleted, while the path it started from holds the
    // new release's tools.
    static const std::filesystem::path startFolder = [] {
        std::error_code error;
        const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
        return error ? std::filesystem::path() : executable.parent_path();
    }();
    return startFolder;
}

std::optional<std::string> elevationToolPath()
{
    if (auto found = findOnSearchPath("pkexec"))
        return found;
    if (isExecutableFile("/usr/bin/pkexec"))
        return "/usr/bin/pkexec";
    return std::nullopt;
}

std::string resolveToolPath(const std::string& macPath)
{
    for (const auto& mapping : toolTable) {
        if (mapping.macPath != macPath)
            continue;
        if (mapping.target == Target::HostTool)
            return std::string(mapping.tool);
        return (standInToolFolder() / mapping.tool).string();
    }
    return macPath;
}

} // namespace platform
