#include "Foundation/ProtectedPaths.h"

#include "Foundation/FileUtilities.h"
#include "Foundation/UserPaths.h"
#include "Platform/Authorization/ProcessUser.h"
#include "Platform/Files/FolderDescriptors.h"
#include "Platform/Root/PlatformRoot.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <array>
#include <atomic>
#include <filesystem>
#include <optional>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Standard folders of the system, as platform paths.
constexpr std::array systemFolders{
    "/Applications", "/Applications/Utilities", "/Library", "/Library/Application Support",
    "/Library/Caches", "/Library/Extensions", "/Library/LaunchAgents", "/Library/LaunchDaemons",
    "/Library/Logs", "/Library/Preferences", "/System", "/Users/Shared", "/Volumes", "/bin",
    "/cores", "/dev", "/etc", "/opt", "/private", "/sbin", "/tmp", "/usr", "/var"};

// Standard folders of the user, as tails of the home folder ("" is the home itself).
constexpr std::array userFolders{
    "", "/.Trash", "/Applications", "/Desktop", "/Documents", "/Downloads", "/Library",
    "/Library/Application Support", "/Library/Caches", "/Library/Containers", "/Library/Cookies",
    "/Library/Group Containers", "/Library/Keychains", "/Library/LaunchAgents", "/Library/Logs",
    "/Library/Mail", "/Library/Preferences", "/Library/Safari", "/Library/Saved Application State",
    "/Movies", "/Music", "/Pictures", "/Public"};

fs::path withoutTrailingSeparator(const fs::path& path)
{
    if (isPlainAbsolutePath(path.native()))
        return path;
    fs::path normal = path.lexically_normal();
    if (!normal.has_filename() && normal != normal.root_path())
        normal = normal.parent_path();
    return normal;
}

// What the kernel finds at `path` when it may follow no link: the path as written
// is where it leads when it is found (one call, where asking the kernel for the
// place costs three), and it is missing where no link stood in the way either.
enum class DirectWalk { found, missing, undecided };

struct DirectOpening {
    DirectWalk walk;
    platform::Descriptor handle;
};

DirectOpening openDirectly(const fs::path& path, int flags)
{
    if (!path.is_absolute())
        return {DirectWalk::undecided, platform::Descriptor()};
    open_how how{};
    how.flags = static_cast<std::uint64_t>(flags);
    how.resolve = RESOLVE_NO_SYMLINKS;
    platform::Descriptor handle(static_cast<int>(::syscall(SYS_openat2, AT_FDCWD, path.c_str(), &how, sizeof how)));
    if (handle)
        return {DirectWalk::found, std::move(handle)};
    // Else a link stood on the way, or the kernel lacks the call.
    const bool missing = errno == ENOENT || errno == ENOTDIR || errno == EACCES || errno == ENAMETOOLONG;
    return {missing ? DirectWalk::missing : DirectWalk::undecided, platform::Descriptor()};
}

// An existing path opened with `flags`, and where it leads, lexically normal
// without a trailing separator, as the kernel resolved it in the same walk: its
// handle names the place.
struct OpenedPlace {
    platform::Descriptor handle;
    fs::path resolved;
};

std::optional<OpenedPlace> openResolved(const fs::path& path, int flags)
{
    DirectOpening direct = openDirectly(path, flags);
    if (direct.walk == DirectWalk::found)
        return OpenedPlace{std::move(direct.handle), withoutTrailingSeparator(path)};
    if (direct.walk == DirectWalk::missing)
        return std::nullopt;
    platform::Descriptor handle(::open(path.c_str(), flags));
    if (!handle)
        return std::nullopt;
    std::array<char, PATH_MAX> resolved{};
    const ssize_t length =
        ::readlink(("/proc/self/fd/" + std::to_string(handle.get())).c_str(), resolved.data(), resolved.size());
    if (length <= 0 || static_cast<std::size_t>(length) == resolved.size() || resolved[0] != '/')
        return std::nullopt;
    return OpenedPlace{std::move(handle),
                       withoutTrailingSeparator(std::string(resolved.data(), static_cast<std::size_t>(length)))};
}

std::optional<fs::path> resolvedExisting(const fs::path& path)
{
    auto place = openResolved(path, O_PATH | O_CLOEXEC);
    return place ? std::optional(std::move(place->resolved)) : std::nullopt;
}

std::optional<fs::path> resolvedForm(const fs::path& path)
{
    if (auto resolved = resolvedExisting(path))
        return resolved;
    std::error_code error;
    const fs::path resolved = fs::weakly_canonical(path, error);
    if (error)
        return std::nullopt;
    return withoutTrailingSeparator(resolved);
}

// `ancestor` is `path` itself or a folder above it; both lexically normal, with no
// trailing separator but the root's. Compared as texts: a walk of their components
// builds a path for each.
bool holds(const fs::path& ancestor, const fs::path& path)
{
    const std::string& above = ancestor.native();
    const std::string& below = path.native();
    return below.starts_with(above) &&
           (below.size() == above.size() || above.ends_with('/') || below[above.size()] == '/');
}

bool hasParentComponent(const fs::path& path)
{
    const std::string& text = path.native();
    return text == ".." || text.starts_with("../") || text.ends_with("/..") || text.find("/../") != std::string::npos;
}

// Each folder as written and with its links resolved.
std::vector<fs::path> withResolvedForms(const std::vector<std::string>& folders)
{
    std::vector<fs::path> forms;
    for (const auto& folder : folders) {
        forms.push_back(withoutTrailingSeparator(folder));
        if (auto resolved = resolvedForm(folder))
            forms.push_back(std::move(*resolved));
    }
    return forms;
}

std::atomic<std::uint64_t> resolvedSetCount = 0;

// Every protected folder as written and with its links resolved, in the order of
// their texts.
std::vector<fs::path> protectedFolders()
{
    ++resolvedSetCount;
    std::vector<std::string> folders = scanRootPaths();
    folders.push_back(supportFolderPath());
    folders.push_back(platform::platformRoot());
    for (const char* folder : systemFolders)
        folders.push_back(platform::hostPath(folder));
    for (const char* tail : userFolders)
        folders.push_back(userPath(tail));
    std::vector<fs::path> forms = withResolvedForms(folders);
    std::ranges::sort(forms, {}, &fs::path::native);
    const auto repeated = std::ranges::unique(forms, {}, &fs::path::native);
    forms.erase(repeated.begin(), repeated.end());
    return forms;
}

} // namespace

ProtectedFolders::ProtectedFolders() : folders_(protectedFolders()), root_(resolvedForm(platform::platformRoot())) {}

std::uint64_t ProtectedFolders::resolvedSets()
{
    return resolvedSetCount;
}

bool ProtectedFolders::protects(const std::string& path) const
{
    const fs::path written(path);
    return !isJudgeable(written) || protectsResolved(written, resolvedForm(written));
}

platform::Descriptor ProtectedFolders::openUnprotected(const std::string& path) const
{
    return openJudged(path, O_PATH | O_CLOEXEC);
}

platform::Descriptor ProtectedFolders::openUnprotectedFolder(const std::string& path) const
{
    return openJudged(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

platform::Descriptor ProtectedFolders::openJudged(const std::string& path, int flags) const
{
    const fs::path written(path);
    if (!isJudgeable(written))
        return platform::Descriptor();
    auto place = openResolved(written, flags);
    if (!place || protectsResolved(written, place->resolved))
        return platform::Descriptor();
    return std::move(place->handle);
}

bool ProtectedFolders::isJudgeable(const fs::path& written)
{
    return written.is_absolute() && !hasParentComponent(written);
}

bool ProtectedFolders::protectsResolved(const fs::path& written, const std::optional<fs::path>& resolved) const
{
    if (!resolved || !root_ || !holds(*root_, *resolved))
        return true;
    // A path written in its normal form, with no link on its way, is judged once.
    return holdsAFolder(*resolved) ||
           (written.native() != resolved->native() && holdsAFolder(withoutTrailingSeparator(written)));
}

// The folders that `form` holds sort right after it, among those its text begins.
bool ProtectedFolders::holdsAFolder(const fs::path& form) const
{
    const std::string& text = form.native();
    for (auto folder = std::ranges::lower_bound(folders_, text, {}, &fs::path::native);
         folder != folders_.end() && folder->native().starts_with(text); ++folder)
        if (holds(form, *folder))
            return true;
    return false;
}

bool isProtectedPath(const std::string& path)
{
    return ProtectedFolders().protects(path);
}

bool leadsToAFolderOfTheUser(const std::string& path)
{
    const fs::path written(path);
    if (!written.is_absolute())
        return false;
    const auto resolved = resolvedForm(written);
    const auto home = resolvedForm(userPath(""));
    struct stat status {};
    return resolved && home && !holds(*resolved, *home) && ::stat(resolved->c_str(), &status) == 0 &&
           S_ISDIR(status.st_mode) && status.st_uid == platform::processUserID();
}
