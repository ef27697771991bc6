#include "Platform/Workspace/ProcessList.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <filesystem>

namespace fs = std::filesystem;

namespace platform {

namespace {

std::optional<pid_t> processIdOf(const std::string& name)
{
    pid_t pid = 0;
    const auto [end, failure] = std::from_chars(name.data(), name.data() + name.size(), pid);
    if (failure != std::errc() || end != name.data() + name.size() || pid <= 0)
        return std::nullopt;
    return pid;
}

std::string processFolder(pid_t pid)
{
    return "/proc/" + std::to_string(pid);
}

} // namespace

std::vector<pid_t> listedProcesses()
{
    std::vector<pid_t> pids;
    std::error_code error;
    for (fs::directory_iterator entry("/proc", error), end; !error && entry != end; entry.increment(error))
        if (const auto pid = processIdOf(entry->path().filename().string()))
            pids.push_back(*pid);
    return pids;
}

// Read with plain calls: a stream would throw when the process ends mid-read.
std::optional<std::string> readProcessFile(pid_t pid, const std::string& name)
{
    const int fd = ::open((processFolder(pid) + "/" + name).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::string contents;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ::close(fd);
            return got == 0 ? std::optional<std::string>(std::move(contents)) : std::nullopt;
        }
        contents.append(buffer, static_cast<std::size_t>(got));
    }
}

std::optional<std::vector<std::string>> processCommandLine(pid_t pid)
{
    const auto text = readProcessFile(pid, "cmdline");
    if (!text)
        return std::nullopt;
    std::vector<std::string> arguments;
    for (std::size_t start = 0; start < text->size();) {
        const std::size_t end = std::min(text->find('\0', start), text->size());
        arguments.push_back(text->substr(start, end - start));
        start = end + 1;
    }
    return arguments;
}

std::optional<std::string> processExecutable(pid_t pid)
{
    std::error_code error;
    const fs::path executable = fs::read_symlink(processFolder(pid) + "/exe", error);
    if (error || executable.empty())
        return std::nullopt;
    return executable.string();
}

bool runsTheFileAt(const std::string& path)
{
    struct stat running {};
    struct stat named {};
    return ::stat("/proc/self/exe", &running) == 0 && ::stat(path.c_str(), &named) == 0 &&
           running.st_dev == named.st_dev && running.st_ino == named.st_ino;
}

} // namespace platform
