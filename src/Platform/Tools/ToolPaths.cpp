#include "Platform/Tools/ToolPaths.h"

#include "Platform/Root/PlatformRoot.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
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
    ToolMapping{kPrivilegedRemoveTool, Target::StandIn, "privileged-remove"},
};

// The only elevation tool taken in a real run.
constexpr const char* systemElevationTool = "/usr/bin/pkexec";

// The tests' stand-in for the elevation tool, named by $BG_TEST_ELEVATION_TOOL. Only a
// process under a platform root of its own (a test's temporary one) looks at it, so
// the environment of a normal run, whose root is "/", never chooses the tool.
std::optional<std::string> testElevationTool()
{
    const char* standIn = std::getenv("BG_TEST_ELEVATION_TOOL");
    if (!standIn || !*standIn)
        return std::nullopt;
    std::error_code error;
    const auto root = std::filesystem::canonical(platformRoot(), error);
    if (error || root == "/")
        return std::nullopt;
    return standIn;
}

bool isExecutableFile(const std::filesystem::path& path)
{
    std::error_code error;
    return ::access(path.c_str(), X_OK) == 0 && std::filesystem::is_regular_file(path, error);
}

bool isElevationTool(const std::string& path, bool mustBeSetuid)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (!mustBeSetuid || info.st_mode & S_ISUID) &&
           onlyRootCanChange(path);
}

// The user's private group (named as the user, of no other member), where the user
// has one: what its members may write, only the user may.
std::optional<gid_t> privateGroupOf(uid_t user)
{
    const passwd* account = ::getpwuid(user);
    const group* entry = account ? ::getgrgid(account->pw_gid) : nullptr;
    if (!entry || std::string_view(entry->gr_name) != account->pw_name)
        return std::nullopt;
    for (char** member = entry->gr_mem; member && *member; ++member)
        if (std::string_view(*member) != account->pw_name)
            return std::nullopt;
    return entry->gr_gid;
}

// Whether every step of the absolute, normal path `named` (links not followed)
// belongs to root or `user`, and nobody else may write one - neither others nor a
// group but `writingGroup` - but for a sticky folder on the way (its entries stay
// their owners'). A link is a step only where `linksAllowed`: its own mode bits say
// nothing.
bool everyStepBelongsTo(const std::filesystem::path& named, uid_t user, std::optional<gid_t> writingGroup,
                        bool linksAllowed)
{
    if (!named.is_absolute() || named.lexically_normal() != named || (!named.has_filename() && named != "/"))
        return false;
    std::filesystem::path walked = "/";
    const auto last = std::prev(named.end());
    for (auto part = named.begin(); part != named.end(); ++part) {
        if (part != named.begin())
            walked /= *part;
        struct stat info {};
        if (::lstat(walked.c_str(), &info) != 0 || (info.st_uid != 0 && info.st_uid != user))
            return false;
        if (S_ISLNK(info.st_mode)) {
            if (!linksAllowed)
                return false;
            continue;
        }
        const bool othersMayWrite = info.st_mode & S_IWOTH || (info.st_mode & S_IWGRP && info.st_gid != writingGroup);
        if (othersMayWrite && (part == last || !S_ISDIR(info.st_mode) || !(info.st_mode & S_ISVTX)))
            return false;
    }
    return true;
}

} // namespace

bool onlyRootCanChange(const std::string& path)
{
    return everyStepBelongsTo(path, 0, std::nullopt, false);
}

bool onlyRootAndUserCanChange(const std::string& path, uid_t user)
{
    std::error_code error;
    const auto resolved = std::filesystem::canonical(path, error);
    const auto group = privateGroupOf(user);
    return !error && everyStepBelongsTo(path, user, group, true) && everyStepBelongsTo(resolved, user, group, false);
}

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

std::filesystem::path standInToolPath(std::string_view tool, const ToolFolders& otherFolders)
{
    const std::filesystem::path started = standInToolFolder() / tool;
    if (const char* folder = std::getenv("BG_TOOLS_DIR"); (folder && *folder) || isExecutableFile(started))
        return started;
    // Moved or renamed, the executable's link names where it is now; replaced by an
    // update, it names a deleted file and the start folder holds the new tools.
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error && !executable.string().ends_with(" (deleted)"))
        if (const auto beside = executable.parent_path() / tool; isExecutableFile(beside))
            return beside;
    // Named by a job's arguments: root takes such a tool only where only root can change it.
    for (const auto& folder : otherFolders)
        if (const auto other = (folder / tool).lexically_normal();
            isExecutableFile(other) && (::geteuid() != 0 || onlyRootCanChange(other.string())))
            return other;
    return started;
}

std::optional<std::string> elevationToolPath()
{
    if (const auto standIn = testElevationTool())
        return isElevationTool(*standIn, false) ? standIn : std::nullopt;
    if (isElevationTool(systemElevationTool, true))
        return systemElevationTool;
    return std::nullopt;
}

std::string resolveToolPath(const std::string& macPath, const ToolFolders& otherFolders)
{
    for (const auto& mapping : toolTable) {
        if (mapping.macPath != macPath)
            continue;
        if (mapping.target == Target::HostTool)
            return std::string(mapping.tool);
        // The remover, run with an administrator's rights on every clean, is taken only
        // from where this program started; a raised launchctl is found as the others
        // are, and, like any raised tool, must pass the elevation's root-only check.
        if (mapping.tool == kPrivilegedRemoveTool)
            return (standInToolFolder() / mapping.tool).string();
        return standInToolPath(mapping.tool, otherFolders).string();
    }
    return macPath;
}

} // namespace platform
