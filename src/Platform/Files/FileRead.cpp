#include "Platform/Files/FileRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <iostream>
#include <mutex>
#include <set>
#include <tuple>

namespace platform {

// Once for each entry at a path: a watched entry is read again at every change and
// poll, but another one put at the same path (its own inode and change time, the
// link itself for a link) is told again.
void reportSkippedFile(const std::string& path, const std::string& reason)
{
    static std::mutex mutex;
    static std::set<std::tuple<std::string, dev_t, ino_t, time_t, long>> told;
    struct stat entry {};
    ::lstat(path.c_str(), &entry);
    {
        const std::lock_guard lock(mutex);
        if (!told.emplace(path, entry.st_dev, entry.st_ino, entry.st_ctim.tv_sec, entry.st_ctim.tv_nsec).second)
            return;
    }
    std::cout << "Unreadable file skipped: \"" + path + "\" " + reason + "\n" << std::flush;
}

namespace {

// How often a file replaced while it is opened is looked up again.
constexpr int kOpenTries = 10;

bool isSameFile(const struct stat& left, const struct stat& right)
{
    return left.st_dev == right.st_dev && left.st_ino == right.st_ino;
}

} // namespace

int openRegularFile(const std::string& path)
{
    for (int tries = 1;; ++tries) {
        struct stat named {};
        if (::stat(path.c_str(), &named) != 0)
            return -1;
        if (!S_ISREG(named.st_mode)) {
            reportSkippedFile(path, "is not a regular file");
            return -1;
        }
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            return -1;
        struct stat opened {};
        if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && isSameFile(named, opened))
            return fd;
        ::close(fd);
        // Replaced meanwhile (a writer's atomic replace): the path names a new file.
        if (tries == kOpenTries) {
            reportSkippedFile(path, "was replaced while it was opened");
            return -1;
        }
    }
}

bool readOpenFile(int fd, const std::string& path, std::vector<std::uint8_t>& bytes, std::size_t maximumSize)
{
    const auto refuseAsTooLarge = [&] {
        bytes.clear();
        reportSkippedFile(path, "is larger than " + std::to_string(maximumSize) + " bytes");
        return false;
    };
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    if (static_cast<std::uintmax_t>(info.st_size) > maximumSize)
        return refuseAsTooLarge();
    bytes.clear();
    std::uint8_t buffer[65536];
    for (;;) { // the size told may be wrong (files of /proc) or grow meanwhile
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got == 0;
        if (bytes.size() + static_cast<std::size_t>(got) > maximumSize)
            return refuseAsTooLarge();
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
}

bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::size_t maximumSize)
{
    const int fd = openRegularFile(path);
    if (fd < 0)
        return false;
    const bool read = readOpenFile(fd, path, bytes, maximumSize);
    ::close(fd);
    return read;
}

std::optional<std::string> readTextFile(const std::string& path, std::size_t maximumSize)
{
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(path, bytes, maximumSize))
        return std::nullopt;
    return std::string(bytes.begin(), bytes.end());
}

} // namespace platform
