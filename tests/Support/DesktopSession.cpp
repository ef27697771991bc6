#include "DesktopSession.h"

#include "Platform/Tools/ToolProcess.h"
#include "Platform/Workspace/ProcessList.h"
#include "Platform/Workspace/ProcessStat.h"
#include "RootProcesses.h"
#include "TestRoot.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
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

int runAutostartEntries()
{
    const fs::path folder = fs::path(std::getenv("XDG_CONFIG_HOME")) / "autostart";
    const char* tools = std::getenv("BG_TOOLS_DIR");
    const std::string buildTools = tools ? tools : "";
    ::unsetenv("BG_TOOLS_DIR");
    int run = 0;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const auto command = it->path().extension() == ".desktop" ? execCommandOf(it->path()) : std::vector<std::string>{};
        if (command.empty())
            continue;
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

} // namespace testsupport
