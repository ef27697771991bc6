#include "Platform/Launchd/JobProcess.h"

#include "Platform/Tools/ToolPaths.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <thread>

extern char** environ;

namespace platform::launchd {

bool isTrue(const Value* value)
{
    return value && value->asBoolean() && *value->asBoolean();
}

namespace {

constexpr std::chrono::seconds kDefaultThrottleInterval{10};

const Value* entry(const Dictionary& job, const char* key)
{
    const auto found = job.find(key);
    return found == job.end() ? nullptr : &found->second;
}

const Value* successfulExitRule(const Dictionary& job)
{
    const Value* keepAlive = entry(job, "KeepAlive");
    const Value* rule = keepAlive ? keepAlive->find("SuccessfulExit") : nullptr;
    return rule && rule->asBoolean() ? rule : nullptr;
}

// The tool folders of the bundles the job's arguments name ("X.app/Contents/MacOS"):
// a job that opens a bundle still finds its tools there once the bundle that
// loaded it is gone.
ToolFolders bundleToolFolders(const std::vector<std::string>& arguments)
{
    ToolFolders folders;
    for (const auto& argument : arguments)
        if (argument.ends_with(".app") || argument.ends_with(".app/"))
            folders.push_back(std::filesystem::path(argument) / "Contents/MacOS");
    return folders;
}

} // namespace

std::optional<JobCommand> commandOfJob(const Dictionary& job)
{
    JobCommand command;
    if (const Value* arguments = entry(job, "ProgramArguments"); arguments && arguments->asArray())
        for (const Value& argument : *arguments->asArray()) {
            if (!argument.asText())
                return std::nullopt;
            command.arguments.push_back(*argument.asText());
        }
    const Value* program = entry(job, "Program");
    if (program && program->asText())
        command.executable = *program->asText();
    else if (!command.arguments.empty())
        command.executable = command.arguments.front();
    if (command.executable.empty())
        return std::nullopt;
    if (command.arguments.empty())
        command.arguments.push_back(command.executable);
    command.executable = resolveToolPath(command.executable, bundleToolFolders(command.arguments));
    return command;
}

bool isOneShotJob(const Dictionary& job)
{
    return isTrue(entry(job, "LaunchOnlyOnce")) && isTrue(entry(job, "RunAtLoad"));
}

bool runsAtLoad(const Dictionary& job)
{
    return isTrue(entry(job, "RunAtLoad")) || isTrue(entry(job, "KeepAlive")) || successfulExitRule(job);
}

bool restartsAfter(const Dictionary& job, int waitStatus)
{
    if (isTrue(entry(job, "KeepAlive")))
        return true;
    const Value* rule = successfulExitRule(job);
    const bool succeeded = WIFEXITED(waitStatus) && WEXITSTATUS(waitStatus) == 0;
    return rule && *rule->asBoolean() == succeeded;
}

std::chrono::seconds throttleInterval(const Dictionary& job)
{
    const Value* interval = entry(job, "ThrottleInterval");
    if (interval && interval->asInteger() && *interval->asInteger() >= 0)
        return std::chrono::seconds(*interval->asInteger());
    return kDefaultThrottleInterval;
}

std::chrono::seconds restartDelay(const Dictionary& job, bool startFailed)
{
    const auto interval = throttleInterval(job);
    return startFailed ? std::max(interval, kDefaultThrottleInterval) : interval;
}

pid_t spawnDetached(const std::string& executable, const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        posix_spawn_file_actions_addopen(&actions, stream, "/dev/null", stream == STDIN_FILENO ? O_RDONLY : O_WRONLY,
                                         0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGPIPE, SIGCHLD})
        sigaddset(&defaults, signal);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    pid_t pid = -1;
    const int result = posix_spawn(&pid, executable.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0)
        errno = result;
    return result == 0 ? pid : -1;
}

int waitForChild(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return status;
    }
    return status;
}

int terminateChild(pid_t pid, std::chrono::milliseconds grace)
{
    ::kill(-pid, SIGTERM);
    ::kill(pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + grace;
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        const pid_t ended = ::waitpid(pid, &status, WNOHANG);
        if (ended == pid || (ended < 0 && errno != EINTR))
            return status;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(-pid, SIGKILL);
    ::kill(pid, SIGKILL);
    return waitForChild(pid);
}

} // namespace platform::launchd
