#include "Platform/Files/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

namespace platform {

namespace {

// The process's umask, read without changing it (umask(2) would race other threads).
mode_t currentUmask()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
    return 022;
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

bool writeBytesAtomically(const std::string& path, const std::uint8_t* bytes, std::size_t size)
{
    const std::filesystem::path target(path);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool filled = fillTemporaryFile(fd, bytes, size);
    const bool closed = ::close(fd) == 0;
    if (!filled || !closed || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncFolder(folder);
    return true;
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

bool readOpenFile(int fd, std::vector<std::uint8_t>& bytes)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    bytes.clear();
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got == 0;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
}

bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = readOpenFile(fd, bytes);
    ::close(fd);
    return ok;
}

} // namespace platform
