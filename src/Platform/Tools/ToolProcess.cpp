#include "Platform/Tools/ToolProcess.h"

#include "Platform/Tools/ToolPaths.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>
#include <utility>

extern char** environ;

namespace platform {

namespace {

// posix_spawn's attributes and file actions, released on every path out.
struct SpawnSetup {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;

    SpawnSetup()
    {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
        // The child starts with default signal handling and no blocked signals,
        // whatever this process ignores (SIGPIPE) or blocks.
        sigset_t defaults;
        sigset_t none;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        sigemptyset(&none);
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    }
    ~SpawnSetup()
    {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
};

int terminationStatus(int waitStatus)
{
    if (WIFSIGNALED(waitStatus))
        return WTERMSIG(waitStatus);
    return WEXITSTATUS(waitStatus);
}

int waitForChild(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return terminationStatus(status);
}

} // namespace

std::optional<ToolProcess> ToolProcess::launch(const std::string& toolPath,
                                               const std::vector<std::string>& arguments,
                                               Capture capture)
{
    const std::string program = resolveToolPath(toolPath);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    int pipeEnds[2] = {-1, -1};
    if (capture != Capture::Nothing && pipe2(pipeEnds, O_CLOEXEC) != 0)
        return std::nullopt;

    SpawnSetup setup;
    posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (capture != Capture::Nothing)
        posix_spawn_file_actions_adddup2(&setup.actions, pipeEnds[1], STDOUT_FILENO);
    if (capture == Capture::OutputAndError)
        posix_spawn_file_actions_adddup2(&setup.actions, pipeEnds[1], STDERR_FILENO);

    pid_t pid = -1;
    const int result = posix_spawn(&pid, program.c_str(), &setup.actions, &setup.attributes,
                                   argv.data(), environ);
    if (pipeEnds[1] >= 0)
        close(pipeEnds[1]);
    if (result != 0) {
        if (pipeEnds[0] >= 0)
            close(pipeEnds[0]);
        return std::nullopt;
    }
    return ToolProcess(pid, pipeEnds[0]);
}

ToolProcess::ToolProcess(ToolProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)), outputFd_(std::exchange(other.outputFd_, -1))
{
}

ToolProcess& ToolProcess::operator=(ToolProcess&& other) noexcept
{
    if (this != &other) {
        this->~ToolProcess();
        pid_ = std::exchange(other.pid_, -1);
        outputFd_ = std::exchange(other.outputFd_, -1);
    }
    return *this;
}

ToolProcess::~ToolProcess()
{
    closeOutput();
    if (pid_ > 0)
        waitForChild(std::exchange(pid_, -1));
}

void ToolProcess::closeOutput()
{
    if (outputFd_ >= 0)
        close(std::exchange(outputFd_, -1));
}

std::string ToolProcess::readOutputToEnd()
{
    std::string output;
    readOutput([&output](std::string_view chunk) {
        output.append(chunk);
        return true;
    });
    return output;
}

void ToolProcess::readOutput(const std::function<bool(std::string_view chunk)>& take)
{
    char buffer[16384];
    while (outputFd_ >= 0) {
        const ssize_t count = read(outputFd_, buffer, sizeof buffer);
        if (count > 0) {
            if (!take(std::string_view(buffer, static_cast<size_t>(count))))
                closeOutput();
        } else if (count == 0 || errno != EINTR) {
            closeOutput();
        }
    }
}

int ToolProcess::waitForExit()
{
    closeOutput();
    if (pid_ <= 0)
        return -1;
    return waitForChild(std::exchange(pid_, -1));
}

void ToolProcess::reapInBackground()
{
    closeOutput();
    if (pid_ > 0)
        std::thread([pid = std::exchange(pid_, -1)] { waitForChild(pid); }).detach();
}

} // namespace platform
