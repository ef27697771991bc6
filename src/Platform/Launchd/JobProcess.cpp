#include "Platform/Launchd/JobProcess.h"

#include "Platform/Tools/ToolPaths.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
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

const std::string* textEntry(const Dictionary& job, const char* key)
{
    const Value* value = entry(job, key);
    return value ? value->asText() : nullptr;
}

// A value of the user or group database's entry of that name (getpwnam_r, getgrnam_r).
template <typename Entry, typename Lookup, typename Take>
auto fromEntryNamed(const std::string& name, Lookup lookup, Take take) -> std::optional<decltype(take(Entry{}))>
{
    std::vector<char> buffer(1 << 14);
    Entry entry {};
    Entry* found = nullptr;
    if (lookup(name.c_str(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return std::nullopt;
    return take(entry);
}

struct Account {
    uid_t uid;
    gid_t gid;
};

std::optional<Account> accountNamed(const std::string& name)
{
    return fromEntryNamed<passwd>(name, ::getpwnam_r, [](const passwd& account) {
        return Account{account.pw_uid, account.pw_gid};
    });
}

std::optional<gid_t> groupNamed(const std::string& name)
{
    return fromEntryNamed<group>(name, ::getgrnam_r, [](const group& named) { return named.gr_gid; });
}

// The user's groups as the group database lists them, `gid` among them.
std::vector<gid_t> groupsOfUser(const std::string& name, gid_t gid)
{
    std::vector<gid_t> groups(64);
    for (;;) {
        int count = static_cast<int>(groups.size());
        const bool fits = ::getgrouplist(name.c_str(), gid, groups.data(), &count) >= 0;
        groups.resize(static_cast<std::size_t>(count));
        if (fits)
            return groups;
    }
}

const Value* successfulExitRule(const Dictionary& job)
{
    const Value* keepAlive = entry(job, "KeepAlive");
    const Value* rule = keepAlive ? keepAlive->find("SuccessfulExit") : nullptr;
    return rule && rule->asBoolean() ? rule : nullptr;
}

bool takeOn(const JobCredentials& credentials)
{
    if (credentials.groups && ::setgroups(credentials.groups->size(), credentials.groups->data()) != 0)
        return false;
    if (credentials.gid && ::setresgid(*credentials.gid, *credentials.gid, *credentials.gid) != 0)
        return false;
    return !credentials.uid || ::setresuid(*credentials.uid, *credentials.uid, *credentials.uid) == 0;
}

// The forked child, up to its exec: async-signal-safe calls alone. Why it could not
// run goes to `report` (closed by the exec when it succeeds).
[[noreturn]] void execDetached(const char* executable, char* const argv[], const JobCredentials& credentials,
                               int report)
{
    ::setsid();
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGPIPE, SIGCHLD})
        ::sigaction(signal, &defaults, nullptr);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    const int null = ::open("/dev/null", O_RDWR);
    for (int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        ::dup2(null, stream);
    if (null > STDERR_FILENO)
        ::close(null);
    if (takeOn(credentials))
        ::execve(executable, argv, environ);
    const int failure = errno;
    (void)!::write(report, &failure, sizeof failure);
    ::_exit(127);
}

// The child's errno when it could not exec; false once the exec closed the pipe.
bool readReport(int fd, int& failure)
{
    for (;;) {
        const ssize_t count = ::read(fd, &failure, sizeof failure);
        if (count < 0 && errno == EINTR)
            continue;
        return count == static_cast<ssize_t>(sizeof failure);
    }
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

std::variant<JobCredentials, std::string> credentialsOfJob(const Dictionary& job)
{
    JobCredentials credentials;
    const std::string* userName = textEntry(job, "UserName");
    const std::string* groupName = textEntry(job, "GroupName");
    if (userName) {
        const auto account = accountNamed(*userName);
        if (!account)
            return "UserName \"" + *userName + "\" names no user";
        credentials.uid = account->uid;
        credentials.gid = account->gid;
    }
    if (groupName) {
        const auto gid = groupNamed(*groupName);
        if (!gid)
            return "GroupName \"" + *groupName + "\" names no group";
        credentials.gid = gid;
    }
    if (userName)
        credentials.groups = isTrue(entry(job, "InitGroups")) ? groupsOfUser(*userName, *credentials.gid)
                                                               : std::vector<gid_t>{*credentials.gid};
    return credentials;
}

bool runsAsRoot(const JobCredentials& credentials)
{
    return !credentials.uid || *credentials.uid == 0;
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

pid_t spawnDetached(const std::string& executable, const std::vector<std::string>& arguments,
                    const JobCredentials& credentials)
{
    std::vector<char*> argv;
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    int report[2] = {-1, -1};
    if (::pipe2(report, O_CLOEXEC) != 0)
        return -1;
    const JobCredentials asItself;
    const JobCredentials& taken = ::geteuid() == 0 ? credentials : asItself; // chosen before the fork: no copy after it
    const pid_t pid = ::fork();
    if (pid == 0)
        execDetached(executable.c_str(), argv.data(), taken, report[1]);
    const int forkFailure = errno;
    ::close(report[1]);
    int execFailure = 0;
    const bool execFailed = pid > 0 && readReport(report[0], execFailure);
    ::close(report[0]);
    if (pid < 0 || execFailed) {
        if (execFailed)
            (void)waitForChild(pid);
        errno = pid < 0 ? forkFailure : execFailure;
        return -1;
    }
    return pid;
}

pid_t startJobProcess(const Dictionary& job)
{
    const auto command = commandOfJob(job);
    const auto credentials = credentialsOfJob(job);
    const auto* taken = std::get_if<JobCredentials>(&credentials);
    return command && taken ? spawnDetached(command->executable, command->arguments, *taken) : -1;
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
