#include "Platform/Files/AtomicFile.h"

#include "Platform/Files/FileRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

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

} // namespace platform
