#include "Platform/Sparkle/BundleReplacement.h"

#include "Platform/Files/FileRead.h"
#include "Platform/Files/FolderDescriptors.h"
#include "Platform/Files/FolderEntries.h"
#include "Platform/Files/TreeRemoval.h"
#include "Platform/Sparkle/ReleaseBundle.h"
#include "Platform/Values/PropertyList.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <random>
#include <system_error>

namespace platform {

namespace {

// Deeper than any bundle nests; a release deeper than this is refused.
constexpr int maximumDepth = 64;
// The largest Info.plist read of the installed application.
constexpr std::size_t maximumInfoSize = 1 << 20;
constexpr mode_t keptModeBits = 0755; // never setuid, setgid or writable by others

std::string lastErrorText()
{
    return std::error_code(errno, std::generic_category()).message();
}

Descriptor openEntry(int folder, const std::string& name, int flags)
{
    return Descriptor(::openat(folder, name.c_str(), flags | O_NOFOLLOW | O_CLOEXEC));
}

// A folder of the release, or the stage, that the copy walks.
struct CopyWalk {
    uid_t owner;
    std::uint64_t bytesLeft;
    std::uint64_t membersLeft;
};

std::optional<std::string> copyFolder(int from, int to, int depth, CopyWalk& walk);

std::optional<std::string> writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return lastErrorText();
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return std::nullopt;
}

// Copies the regular file `name` (looked at as `seen`), checking that what is opened
// is what was looked at.
std::optional<std::string> copyFile(int from, int to, const std::string& name, const struct stat& seen, CopyWalk& walk)
{
    const Descriptor source = openEntry(from, name, O_RDONLY | O_NONBLOCK);
    struct stat opened {};
    if (!source || ::fstat(source.get(), &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_ino != seen.st_ino ||
        opened.st_dev != seen.st_dev)
        return "\u201c" + name + "\u201d changed while it was copied";
    const Descriptor target = openEntry(to, name, O_WRONLY | O_CREAT | O_EXCL);
    if (!target || ::fchmod(target.get(), opened.st_mode & keptModeBits) != 0)
        return "\u201c" + name + "\u201d could not be written: " + lastErrorText();
    std::array<char, 1 << 16> buffer{};
    for (ssize_t count; (count = ::read(source.get(), buffer.data(), buffer.size())) != 0;) {
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return "\u201c" + name + "\u201d could not be read: " + lastErrorText();
        if (static_cast<std::uint64_t>(count) > walk.bytesLeft)
            return "it holds more bytes than an update may";
        walk.bytesLeft -= static_cast<std::uint64_t>(count);
        if (const auto problem = writeAll(target.get(), buffer.data(), static_cast<std::size_t>(count)))
            return "\u201c" + name + "\u201d could not be written: " + *problem;
    }
    return std::nullopt;
}

// Copies the folder `name` of `from` into a new folder of that name in `to`.
std::optional<std::string> copySubfolder(int from, int to, const std::string& name, const struct stat& seen,
                                         int depth, CopyWalk& walk)
{
    const Descriptor source = openEntry(from, name, O_PATH | O_DIRECTORY);
    struct stat opened {};
    if (!source || ::fstat(source.get(), &opened) != 0 || opened.st_ino != seen.st_ino || opened.st_dev != seen.st_dev)
        return "\u201c" + name + "\u201d changed while it was copied";
    if (::mkdirat(to, name.c_str(), 0700) != 0)
        return "\u201c" + name + "\u201d could not be made: " + lastErrorText();
    const Descriptor target = openEntry(to, name, O_PATH | O_DIRECTORY);
    if (!target)
        return "\u201c" + name + "\u201d could not be opened: " + lastErrorText();
    if (auto problem = copyFolder(source.get(), target.get(), depth + 1, walk))
        return problem;
    if (::fchmodat(to, name.c_str(), seen.st_mode & keptModeBits, 0) != 0)
        return "\u201c" + name + "\u201d could not be made: " + lastErrorText();
    return std::nullopt;
}

std::optional<std::string> copyEntry(int from, int to, const std::string& name, int depth, CopyWalk& walk)
{
    if (walk.membersLeft == 0)
        return "it holds more members than an update may";
    --walk.membersLeft;
    struct stat seen {};
    if (::fstatat(from, name.c_str(), &seen, AT_SYMLINK_NOFOLLOW) != 0)
        return "\u201c" + name + "\u201d could not be looked at: " + lastErrorText();
    if (seen.st_uid != walk.owner)
        return "\u201c" + name + "\u201d does not belong to the user who downloaded it";
    if (S_ISDIR(seen.st_mode))
        return copySubfolder(from, to, name, seen, depth, walk);
    if (S_ISREG(seen.st_mode))
        return copyFile(from, to, name, seen, walk);
    return "\u201c" + name + "\u201d is a link or no file or folder";
}

std::optional<std::string> copyFolder(int from, int to, int depth, CopyWalk& walk)
{
    if (depth > maximumDepth)
        return "its folders nest deeper than " + std::to_string(maximumDepth);
    auto entries = FolderEntries::open(openEntry(from, ".", O_RDONLY | O_DIRECTORY));
    if (!entries)
        return "a folder of it could not be read: " + lastErrorText();
    while (const auto entry = entries->next())
        if (auto problem = copyEntry(from, to, std::string(entry->name), depth, walk))
            return problem;
    return std::nullopt;
}

// The identifier in the installed application's Contents/Info.plist, read on
// descriptors; empty when there is none.
std::string installedIdentifier(int bundle)
{
    const Descriptor contents = openEntry(bundle, "Contents", O_PATH | O_DIRECTORY);
    const Descriptor info = contents ? openEntry(contents.get(), "Info.plist", O_RDONLY | O_NONBLOCK) : Descriptor();
    struct stat seen {};
    std::vector<std::uint8_t> bytes;
    if (!info || ::fstat(info.get(), &seen) != 0 || !S_ISREG(seen.st_mode) ||
        !readOpenFile(info.get(), "Info.plist", bytes, maximumInfoSize))
        return {};
    const auto plist = parsePropertyList(bytes);
    const Dictionary* values = plist ? plist->asDictionary() : nullptr;
    const auto found = values ? values->find("CFBundleIdentifier") : Dictionary::const_iterator();
    return values && found != values->end() && found->second.asText() ? *found->second.asText() : std::string();
}

// A new folder of the caller's, only the caller's, in `folder`: its name.
std::optional<std::string> makeStage(int folder, const std::string& prefix)
{
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = prefix + std::to_string(random());
        if (::mkdirat(folder, name.c_str(), 0700) == 0)
            return name;
        if (errno != EEXIST)
            return std::nullopt;
    }
    return std::nullopt;
}

std::string descriptorPath(int fd, const std::string& name)
{
    return "/proc/self/fd/" + std::to_string(fd) + "/" + name;
}

// Copies the release into the stage as "new.app" and looks at the copy.
std::optional<std::string> stageRelease(int stage, int release, const std::string& identifier, uid_t owner,
                                        const ReleaseLimits& limits)
{
    struct stat seen {};
    if (::fstat(release, &seen) != 0 || seen.st_uid != owner)
        return "the release does not belong to the user who downloaded it";
    CopyWalk walk{owner, limits.bytes, limits.members};
    if (::mkdirat(stage, "new.app", 0700) != 0)
        return "the release could not be copied: " + lastErrorText();
    const Descriptor copy = openEntry(stage, "new.app", O_PATH | O_DIRECTORY);
    if (!copy)
        return "the release could not be copied: " + lastErrorText();
    if (auto problem = copyFolder(release, copy.get(), 0, walk))
        return problem;
    if (::fchmodat(stage, "new.app", seen.st_mode & keptModeBits, 0) != 0)
        return "the release could not be copied: " + lastErrorText();
    return releaseBundleProblem(descriptorPath(stage, "new.app"), identifier);
}

} // namespace

std::optional<std::string> replaceBundleWithRelease(const std::string& installed, const std::string& release,
                                                    uid_t owner, const ReleaseLimits& limits)
{
    std::error_code error;
    const ItemPlace target = openItemPlace(installed, error);
    const Descriptor bundle = target.folder ? openEntry(target.folder.get(), target.name, O_PATH | O_DIRECTORY)
                                            : Descriptor();
    if (!bundle)
        return "the installed application is a link, no folder or out of reach";
    const ItemPlace source = openItemPlace(release, error);
    const Descriptor releaseFolder =
        source.folder ? openEntry(source.folder.get(), source.name, O_PATH | O_DIRECTORY) : Descriptor();
    if (!releaseFolder)
        return "the release is a link, no folder or out of reach";
    const std::string identifier = installedIdentifier(bundle.get());
    if (identifier.empty())
        return "the installed application names no identifier";
    const auto stageName = makeStage(target.folder.get(), "." + target.name + ".update.");
    const Descriptor stage = stageName ? openEntry(target.folder.get(), *stageName, O_PATH | O_DIRECTORY) : Descriptor();
    if (!stage)
        return "no folder for the update could be made beside the application: " + lastErrorText();
    auto problem = stageRelease(stage.get(), releaseFolder.get(), identifier, owner, limits);
    if (!problem && ::renameat2(stage.get(), "new.app", target.folder.get(), target.name.c_str(), RENAME_EXCHANGE) != 0)
        problem = "the application could not be replaced: " + lastErrorText();
    (void)removeTree(target.folder.get(), *stageName); // the old bundle, or the refused copy
    return problem;
}

} // namespace platform
