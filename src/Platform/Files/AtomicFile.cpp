#include "Platform/Files/AtomicFile.h"

#include "Platform/Files/FileRead.h"
#include "Platform/Files/FolderEntries.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <string_view>

namespace platform {

namespace {

// The process's umask, read without changing it (umask(2) would race other threads).
mode_t currentUmask()
{
    const auto status = readTextFile("/proc/self/status").value_or("");
    const auto line = status.find("\nUmask:");
    if (line == std::string::npos)
        return 022;
    return static_cast<mode_t>(std::stoul(status.substr(line + 7), nullptr, 8));
}

bool writeAll(int fd, const std::uint8_t* bytes, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Makes the rename itself durable; a failure here does not undo the write.
void syncFolder(const std::filesystem::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool fillTemporaryFile(int fd, const std::uint8_t* bytes, std::size_t size)
{
    return ::fchmod(fd, 0644 & ~currentUmask()) == 0 && writeAll(fd, bytes, size) && ::fsync(fd) == 0;
}

// Temporary files beside `target` are named ".<name>." and six letters or digits.
constexpr std::size_t temporarySuffixLength = 6;
constexpr std::string_view temporarySuffixLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string temporaryPrefix(const std::filesystem::path& target)
{
    return "." + target.filename().string() + ".";
}

std::string randomTemporarySuffix()
{
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> letter(0, temporarySuffixLetters.size() - 1);
    std::string suffix(temporarySuffixLength, ' ');
    for (char& each : suffix)
        each = temporarySuffixLetters[letter(generator)];
    return suffix;
}

// Gives a filled nameless file a unique temporary name in `folder`; false when it cannot be linked.
bool linkUnderTemporaryName(int fd, const std::filesystem::path& folder, const std::string& prefix,
                            std::string& temporary)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = (folder / (prefix + randomTemporarySuffix())).string();
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno != EEXIST)
            return false;
    }
    return false;
}

enum class Written { yes, no, notNameless };

// Fills a file that has no name while it is written (O_TMPFILE), so a writer cut short
// leaves nothing behind, then names it `temporary` for the rename. notNameless where the
// file system has no such files or the file cannot be named.
Written writeNamelessTemporary(const std::filesystem::path& folder, const std::string& prefix,
                               const std::uint8_t* bytes, std::size_t size, std::string& temporary)
{
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL ? Written::notNameless : Written::no;
    if (!fillTemporaryFile(fd, bytes, size)) {
        ::close(fd);
        return Written::no;
    }
    const bool linked = linkUnderTemporaryName(fd, folder, prefix, temporary);
    if (::close(fd) != 0 && linked) {
        ::unlink(temporary.c_str());
        return Written::no;
    }
    return linked ? Written::yes : Written::notNameless;
}

// The same under its temporary name from the start; removeStaleTemporaryFiles()
// clears what a writer cut short leaves.
bool writeNamedTemporary(const std::filesystem::path& folder, const std::string& prefix, const std::uint8_t* bytes,
                         std::size_t size, std::string& temporary)
{
    temporary = (folder / (prefix + std::string(temporarySuffixLength, 'X'))).string();
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool filled = fillTemporaryFile(fd, bytes, size);
    if (::close(fd) == 0 && filled)
        return true;
    ::unlink(temporary.c_str());
    return false;
}

std::filesystem::path folderOf(const std::filesystem::path& target)
{
    const std::filesystem::path folder = target.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

bool writeBytesAtomically(const std::string& path, const std::uint8_t* bytes, std::size_t size)
{
    const std::filesystem::path target(path);
    const std::filesystem::path folder = folderOf(target);
    const std::string prefix = temporaryPrefix(target);
    std::string temporary;
    const Written nameless = writeNamelessTemporary(folder, prefix, bytes, size, temporary);
    if (nameless == Written::no
        || (nameless == Written::notNameless && !writeNamedTemporary(folder, prefix, bytes, size, temporary)))
        return false;
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncFolder(folder);
    return true;
}

bool isTemporaryName(std::string_view name, const std::string& prefix)
{
    if (name.size() != prefix.size() + temporarySuffixLength || !name.starts_with(prefix))
        return false;
    name.remove_prefix(prefix.size());
    return name.find_first_not_of(temporarySuffixLetters) == std::string_view::npos;
}

} // namespace

bool writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    return writeBytesAtomically(path, bytes.data(), bytes.size());
}

bool writeFileAtomically(const std::string& path, const std::string& text)
{
    return writeBytesAtomically(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

void removeStaleTemporaryFiles(const std::string& path)
{
    const std::filesystem::path target(path);
    const std::string prefix = temporaryPrefix(target);
    auto entries = FolderEntries::open(folderOf(target).string());
    if (!entries)
        return;
    const int folder = entries->descriptor();
    while (const auto entry = entries->next()) {
        const std::string name(entry->name);
        struct stat info {};
        if (isTemporaryName(name, prefix) && ::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode))
            ::unlinkat(folder, name.c_str(), 0);
    }
}

} // namespace platform
