#include "Platform/Authorization/Elevation.h"

#include "Platform/Tools/ToolPaths.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <ctime>
#include <filesystem>

extern char** environ;

namespace platform {

namespace {

// Writes all of `input` and closes the pipe; a tool that ends without reading
// it costs no SIGPIPE (blocked on this thread, and taken back when raised).
void feed(int fd, std::string_view input)
{
    sigset_t pipeSignal, before;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &before);
    bool broken = false;
    while (!input.empty()) {
        const ssize_t written = ::write(fd, input.data(), input.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            broken = errno == EPIPE;
            break;
        }
        input.remove_prefix(static_cast<std::size_t>(written));
    }
    ::close(fd);
    if (broken) {
        const timespec none{0, 0};
        (void)sigtimedwait(&pipeSignal, nullptr, &none);
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

std::string readAll(int fd)
{
    std::string text;
    std::array<char, 4096> buffer{};
    for (ssize_t count; (count = ::read(fd, buffer.data(), buffer.size())) != 0;) {
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            break;
        text.append(buffer.data(), static_cast<std::size_t>(count));
    }
    ::close(fd);
    return text;
}

int waitFor(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            return -1;
    return status;
}

std::string lastLine(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    const auto start = text.rfind('\n');
    return start == std::string::npos ? text : text.substr(start + 1);
}

} // namespace

std::vector<std::string> commandWithAdministratorRights(std::vector<std::string> command)
{
    if (command.empty())
        return command;
    std::error_code error;
    const auto tool = std::filesystem::canonical(command.front(), error).string();
    const auto elevation = elevationToolPath();
    if (error || !elevation || !onlyRootCanChange(tool))
        return command;
    command.front() = tool;
    command.insert(command.begin(), *elevation);
    return command;
}

std::optional<std::string> elevationRefusalText(int waitStatus)
{
    if (!WIFEXITED(waitStatus))
        return std::nullopt;
    switch (WEXITSTATUS(waitStatus)) {
    case 126:
        return "The administrator\u2019s password was not given.";
    case 127:
        return "The administrator\u2019s password was not accepted.";
    default:
        return std::nullopt;
    }
}

std::string reasonOfToolOutput(std::string output)
{
    const std::string line = lastLine(std::move(output));
    const auto colon = line.rfind(": ");
    return colon == std::string::npos ? line : line.substr(colon + 2);
}

std::string administratorRightsNeededText()
{
    return "This needs an administrator\u2019s rights, and this system has no way to ask for them.";
}

std::optional<std::string> runWithAdministratorRights(std::vector<std::string> command, std::string_view input)
{
    const std::size_t given = command.size();
    command = commandWithAdministratorRights(std::move(command));
    if (command.size() == given)
        return administratorRightsNeededText();
    int toTool[2] = {-1, -1};
    int fromTool[2] = {-1, -1};
    if (::pipe2(toTool, O_CLOEXEC) != 0)
        return "The tool could not be run.";
    if (::pipe2(fromTool, O_CLOEXEC) != 0) {
        ::close(toTool[0]);
        ::close(toTool[1]);
        return "The tool could not be run.";
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toTool[0], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fromTool[1], STDERR_FILENO);
    std::vector<char*> argv;
    for (auto& argument : command)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv.front(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(toTool[0]);
    ::close(fromTool[1]);
    if (spawned != 0) {
        ::close(toTool[1]);
        ::close(fromTool[0]);
        return "The tool could not be run.";
    }
    feed(toTool[1], input);
    const std::string said = readAll(fromTool[0]);
    const int status = waitFor(pid);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return std::nullopt;
    if (auto refused = elevationRefusalText(status))
        return refused;
    const std::string reason = reasonOfToolOutput(said);
    return reason.empty() ? "The step with an administrator\u2019s rights did not finish." : reason;
}

} // namespace platform
