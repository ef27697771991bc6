#include "DesktopSession.h"

#include "Platform/Root/PlatformRoot.h"
#include "Platform/Tools/ToolProcess.h"
#include "Platform/Workspace/ProcessList.h"
#include "Platform/Workspace/ProcessStat.h"
#include "RealUser.h"
#include "RootProcesses.h"
#include "TestRoot.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace testsupport {

namespace {

// The processes of the root, but this one and its watchman (which run this
// process's executable).
std::vector<pid_t> sessionProcesses()
{
    const std::string entry = platformRootEntry();
    const auto ownExecutable = platform::processExecutable(::getpid());
    std::vector<pid_t> processes;
    for (const pid_t pid : platform::listedProcesses())
        if (pid != ::getpid() && environmentHolds(pid, entry) && platform::processExecutable(pid) != ownExecutable)
            processes.push_back(pid);
    return processes;
}

// The processes signalled, by PID and start time: one on its way out no longer shows
// its environment, yet may still hold its files and locks until it is a zombie.
using Signalled = std::map<pid_t, unsigned long long>;

bool signalUntilGone(int signal, std::chrono::seconds wait, Signalled& signalled)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        for (const pid_t pid : sessionProcesses())
            if (const auto started = platform::runningProcessStartTime(pid))
                signalled.emplace(pid, *started);
        std::erase_if(signalled, [](const auto& process) {
            return platform::runningProcessStartTime(process.first) != process.second;
        });
        if (signalled.empty())
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        for (const auto& [pid, started] : signalled)
            ::kill(pid, signal);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

// The string value of a desktop entry: "\s", "\n", "\t", "\r" and "\\" unescaped.
std::string unescapedValue(const std::string& value)
{
    std::string text;
    for (std::size_t index = 0; index < value.size(); ++index) {
        if (value[index] != '\\' || index + 1 == value.size()) {
            text += value[index];
            continue;
        }
        const char next = value[++index];
        text += next == 's' ? ' ' : next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : next;
    }
    return text;
}

// The arguments of an Exec command: split at blanks outside double quotes, a
// backslash in quotes taking the next character, "%%" one "%".
std::vector<std::string> splitExec(const std::string& command)
{
    std::vector<std::string> arguments;
    std::optional<std::string> current;
    bool quoted = false;
    for (std::size_t index = 0; index < command.size(); ++index) {
        const char character = command[index];
        if (!quoted && (character == ' ' || character == '\t')) {
            if (current)
                arguments.push_back(*std::exchange(current, std::nullopt));
            continue;
        }
        if (!current)
            current = std::string();
        if (character == '"')
            quoted = !quoted;
        else if (quoted && character == '\\' && index + 1 < command.size())
            *current += command[++index];
        else if (character == '%' && index + 1 < command.size() && command[index + 1] == '%')
            *current += command[++index];
        else
            *current += character;
    }
    if (current)
        arguments.push_back(*current);
    return arguments;
}

// The entries that dex, run in this session, starts at a login: those its dry run
// names, in its order.
std::vector<fs::path> entriesDexStarts(const fs::path& folder)
{
    auto dex = platform::ToolProcess::launch(
        "/usr/bin/dex", {"--autostart", "--dry-run", "--verbose", "--search-paths", folder.string()},
        platform::ToolProcess::Capture::OutputAndError);
    if (!dex) {
        ADD_FAILURE() << "dex, the autostart runner, cannot be run (scripts/setup installs it)";
        return {};
    }
    std::istringstream said(dex->readOutputToEnd());
    dex->waitForExit();
    std::vector<fs::path> entries;
    constexpr std::string_view named = "Autostart file: ";
    for (std::string line; std::getline(said, line);)
        if (line.starts_with(named))
            entries.emplace_back(line.substr(named.size()));
    return entries;
}

} // namespace

void endSessionProcesses()
{
    Signalled signalled;
    for (const int signal : {SIGHUP, SIGTERM})
        if (signalUntilGone(signal, std::chrono::seconds(3), signalled))
            return;
    signalUntilGone(SIGKILL, std::chrono::seconds(10), signalled);
}

std::vector<std::string> execCommandOf(const fs::path& entry)
{
    std::ifstream file(entry);
    bool inMainGroup = false;
    for (std::string line; std::getline(file, line);) {
        if (line.starts_with("["))
            inMainGroup = line == "[Desktop Entry]";
        else if (inMainGroup && line.starts_with("Exec="))
            return splitExec(unescapedValue(line.substr(5)));
    }
    return {};
}

fs::path autostartFolder()
{
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
        return fs::path(config) / "autostart";
    return fs::path(std::getenv("HOME")) / ".config/autostart";
}

int runAutostartEntries()
{
    const char* tools = std::getenv("BG_TOOLS_DIR");
    const std::string buildTools = tools ? tools : "";
    ::unsetenv("BG_TOOLS_DIR");
    int run = 0;
    for (const auto& entry : entriesDexStarts(autostartFolder())) {
        const auto command = execCommandOf(entry);
        auto process = platform::ToolProcess::launch(command.front(), {command.begin() + 1, command.end()},
                                                     platform::ToolProcess::Capture::Nothing);
        if (process)
            process->waitForExit();
        ++run;
    }
    if (tools)
        ::setenv("BG_TOOLS_DIR", buildTools.c_str(), 1);
    return run;
}

UnprivilegedSession::UnprivilegedSession()
{
    if (::geteuid() != 0)
        return;
    homeBefore_ = std::getenv("HOME") ? std::getenv("HOME") : "";
    configBefore_ = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
    const fs::path linuxHome = platformRootFolder() / "linux-home";
    fs::create_directories(linuxHome);
    fs::permissions(platformRootFolder(), fs::perms(0755)); // others may enter, as "/"
    RealUserThread::giveToUser(homeFolder());
    RealUserThread::giveToUser(linuxHome);
    ::setenv("HOME", linuxHome.c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    set_ = true;
}

UnprivilegedSession::~UnprivilegedSession()
{
    if (!set_)
        return;
    endSessionProcesses();
    ::setenv("HOME", homeBefore_.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", configBefore_.c_str(), 1);
    fs::permissions(platformRootFolder(), fs::perms::owner_all);
}

std::vector<std::string> UnprivilegedSession::asUser() const
{
    const std::string user = std::to_string(RealUserThread::kUser);
    return {"/usr/bin/setpriv", "--reuid=" + user, "--regid=" + user, "--clear-groups",
            "/usr/bin/env",     "PLATFORM_USER=" + platform::userName()};
}

uid_t UnprivilegedSession::userOf(pid_t pid)
{
    struct stat info {};
    return ::stat(("/proc/" + std::to_string(pid)).c_str(), &info) == 0 ? info.st_uid : static_cast<uid_t>(-1);
}

} // namespace testsupport
