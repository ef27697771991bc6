#include "RaisedLaunchctl.h"

#include "Platform/Bundle/Bundle.h"
#include "Platform/Files/FileRead.h"
#include "Platform/Launchd/JobProcess.h"
#include "Platform/Tools/ToolPaths.h"
#include "Platform/Values/PropertyList.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <deque>

namespace raised {

namespace {

namespace fs = std::filesystem;

constexpr off_t kLargestPlist = 1 << 20;
constexpr int kMostLinks = 40; // as the kernel follows them

// The system job folders, as the last components of the folder's path.
const std::array<std::vector<std::string>, 3> systemJobFolders{{
    {"System", "Library", "LaunchDaemons"},
    {"System", "Library", "LaunchAgents"},
    {"Library", "LaunchDaemons"},
}};

std::string joined(std::vector<std::string>::const_iterator begin, std::vector<std::string>::const_iterator end)
{
    std::string path;
    for (auto part = begin; part != end; ++part)
        path += "/" + *part;
    return path.empty() ? "/" : path;
}

// The components of the platform root above the job folder; none when the folder is no job folder.
std::optional<std::size_t> rootLength(const std::vector<std::string>& folder)
{
    for (const auto& suffix : systemJobFolders)
        if (folder.size() >= suffix.size() && std::equal(suffix.begin(), suffix.end(), folder.end() - suffix.size()))
            return folder.size() - suffix.size();
    return std::nullopt;
}

std::string quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

std::variant<platform::Data, std::string> readFile(const platform::Descriptor& folder, const std::string& name,
                                                   const std::string& path)
{
    const platform::Descriptor file(::openat(folder.get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (!file || ::fstat(file.get(), &info) != 0)
        return quoted(path) + ": " + std::generic_category().message(errno);
    if (!S_ISREG(info.st_mode) || info.st_uid != 0 || (info.st_mode & (S_IWGRP | S_IWOTH)) || info.st_size > kLargestPlist)
        return quoted(path) + " is not a plist file of root's";
    platform::Data bytes;
    if (!platform::readOpenFile(file.get(), path, bytes, kLargestPlist))
        return quoted(path) + " could not be read";
    return bytes;
}

// Where the walk of an absolute path ends: what it names, its links resolved as the
// kernel resolves them, or, where a component names nothing, the folder that would
// hold it, `exists` false.
struct Resolved {
    fs::path path;
    bool exists;
};

// The walk of `path`; none when a link on the way is not root's in a folder only root
// can change. The folders of the result, "/" among them, are left to onlyRootCanChange().
std::optional<Resolved> withRootsLinksResolved(const fs::path& path)
{
    if (!path.is_absolute())
        return std::nullopt;
    std::deque<fs::path> pending(std::next(path.begin()), path.end());
    fs::path walked = "/";
    for (int links = 0; !pending.empty();) {
        const fs::path part = pending.front();
        pending.pop_front();
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            walked = walked.parent_path();
            continue;
        }
        const fs::path next = walked / part;
        struct stat info {};
        if (::lstat(next.c_str(), &info) != 0) {
            if (errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG) // as inline text is
                return Resolved{walked, false};
            return std::nullopt;
        }
        if (!S_ISLNK(info.st_mode)) {
            walked = next;
            continue;
        }
        if (info.st_uid != 0 || ++links > kMostLinks || (walked != "/" && !platform::onlyRootCanChange(walked.string())))
            return std::nullopt;
        std::error_code failure;
        const fs::path target = fs::read_symlink(next, failure);
        if (failure)
            return std::nullopt;
        if (target.is_absolute())
            walked = "/";
        const fs::path steps = target.relative_path();
        pending.insert(pending.begin(), steps.begin(), steps.end());
    }
    return Resolved{walked, true};
}

// A device of root's, as /dev/null: what anyone may write to it changes nothing it is.
bool isRootsDevice(const fs::path& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode) && info.st_uid == 0;
}

// Whether only root can change what `path` names, or make it where it names nothing.
// A relative path is taken from "/", the folder a job of root's runs in.
bool onlyRootCanChangeOrMake(const fs::path& path)
{
    const auto resolved = withRootsLinksResolved(fs::path("/") / path);
    if (!resolved)
        return false;
    const bool device = resolved->exists && isRootsDevice(resolved->path);
    return platform::onlyRootCanChange((device ? resolved->path.parent_path() : resolved->path).string());
}

// The paths of a job's dictionary that its process reads or runs in, besides its arguments.
constexpr std::array inputPathKeys{"WorkingDirectory", "RootDirectory", "StandardInPath"};

// The paths the job hands its process: its arguments and those of inputPathKeys.
std::vector<std::string> handedPaths(const platform::Dictionary& job, const platform::launchd::JobCommand& command)
{
    std::vector<std::string> paths = command.arguments;
    for (const char* key : inputPathKeys)
        if (const auto found = job.find(key); found != job.end() && found->second.asText())
            paths.push_back(*found->second.asText());
    return paths;
}

std::string refusal(const std::string& path)
{
    return quoted(path) + " is not a path only root can change, and the job would hand it to a process of root's";
}

// Why the bundle that `path` names may not be opened as root: its Info.plist, which
// names the executable, or that executable is one someone but root could change.
// None for a path that names no bundle.
std::optional<std::string> refusedBundle(const std::string& path)
{
    if (!path.ends_with(".app") && !path.ends_with(".app/"))
        return std::nullopt;
    const std::string info = (fs::path(path) / "Contents/Info.plist").string();
    if (!onlyRootCanChangeOrMake(info))
        return refusal(info);
    const std::string executable = platform::Bundle(path).executablePath();
    if (!executable.empty() && !onlyRootCanChangeOrMake(executable))
        return refusal(executable);
    return std::nullopt;
}

} // namespace

bool isRaised()
{
    return ::geteuid() == 0 && std::getenv("PKEXEC_UID");
}

std::variant<Plist, std::string> readPlist(const std::vector<std::string>& operands)
{
    if (operands.size() != 1)
        return "one plist is taken with an administrator's rights";
    const std::string& path = operands.front();
    const auto components = platform::pathComponents(path);
    if (components.empty() || !path.ends_with(".plist"))
        return quoted(path) + " is not an absolute path to a plist";
    const std::vector<std::string> folderParts(components.begin(), components.end() - 1);
    const auto root = rootLength(folderParts);
    const std::string folder = joined(folderParts.begin(), folderParts.end());
    if (!root)
        return quoted(path) + " is not in a LaunchDaemons or a system LaunchAgents folder";
    if (!platform::onlyRootCanChange(folder))
        return quoted(folder) + " is not a folder only root can change";
    std::error_code failure;
    Plist plist{path, joined(folderParts.begin(), folderParts.begin() + static_cast<std::ptrdiff_t>(*root)),
                components.back(), {}, {}, platform::openFolder(folderParts, failure)};
    if (!plist.folder)
        return quoted(folder) + ": " + failure.message();
    const auto bytes = readFile(plist.folder, plist.name, path);
    if (const auto* problem = std::get_if<std::string>(&bytes))
        return *problem;
    const auto value = platform::parsePropertyList(std::get<platform::Data>(bytes));
    const platform::Value* label = value ? value->find("Label") : nullptr;
    if (!value || !value->asDictionary() || !label || !label->asText())
        return quoted(path) + ": Invalid property list";
    plist.label = *label->asText();
    plist.dictionary = *value->asDictionary();
    return plist;
}

void enterRootOf(const Plist& plist)
{
    ::clearenv();
    ::setenv("PLATFORM_ROOT", plist.root.c_str(), 1);
    ::setenv("PATH", "/usr/bin:/bin", 1);
    (void)::chdir("/");
    ::umask(022);
}

std::optional<std::string> refusedRegistry(const std::filesystem::path& folder)
{
    std::error_code ignored;
    auto existing = folder;
    while (existing.has_relative_path() && !std::filesystem::exists(std::filesystem::symlink_status(existing, ignored)))
        existing = existing.parent_path();
    if (platform::onlyRootCanChange(existing.string()))
        std::filesystem::create_directories(folder, ignored);
    if (!platform::onlyRootCanChange(folder.string()))
        return quoted(folder.string()) + " is not a folder only root can change";
    return std::nullopt;
}

std::optional<std::string> refusedRootJob(const platform::Dictionary& job)
{
    const auto credentials = platform::launchd::credentialsOfJob(job);
    const auto* taken = std::get_if<platform::launchd::JobCredentials>(&credentials);
    const auto command = platform::launchd::commandOfJob(job);
    if (!taken || !command || !platform::launchd::runsAsRoot(*taken))
        return std::nullopt; // runs as its user, or its load fails and says why
    const auto program = withRootsLinksResolved(command->executable);
    if (!program || !program->exists || !platform::onlyRootCanChange(program->path.string()))
        return quoted(command->executable) + " is not a program only root can change, and the job would run it as root";
    for (const auto& path : handedPaths(job, *command)) {
        if (!onlyRootCanChangeOrMake(path))
            return refusal(path);
        if (auto refused = refusedBundle(path))
            return refused;
    }
    return std::nullopt;
}

std::error_code deletePlist(const Plist& plist)
{
    if (::unlinkat(plist.folder.get(), plist.name.c_str(), 0) != 0)
        return {errno, std::generic_category()};
    return {};
}

} // namespace raised
