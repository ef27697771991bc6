#pragma once

#include "TestAnew.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>

namespace testsupport {

// Runs the current test anew in a process whose controlling terminal is a new
// pseudo-terminal, as a program started from a terminal has one, and answers
// whether that run passed, or null when it had not ended within `within`. In that
// run, the call answers what `work` does there. A fresh process, not a fork of this
// one: the threads that earlier tests started here would not be in a fork. Its
// process group ends with the call either way.
inline std::optional<bool> answerWithTerminal(const std::function<bool()>& work, std::chrono::seconds within)
{
    if (isTestRunAnew())
        return work();
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
        return std::nullopt;
    const std::string terminal = ::ptsname(master);
    const pid_t child = startTestAnew([&terminal] {
        ::setsid();
        const int slave = ::open(terminal.c_str(), O_RDWR);
        return slave >= 0 && ::ioctl(slave, TIOCSCTTY, 0) == 0;
    });
    std::optional<bool> answer;
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (child > 0 && std::chrono::steady_clock::now() < deadline) {
        char prompt[256];
        while (::read(master, prompt, sizeof prompt) > 0) {
        }
        int status = 0;
        if (::waitpid(child, &status, WNOHANG) == child) {
            answer = WIFEXITED(status) && WEXITSTATUS(status) == 0;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (child > 0 && !answer) {
        ::kill(-child, SIGKILL);
        ::waitpid(child, nullptr, 0);
    }
    ::close(master);
    return answer;
}

} // namespace testsupport
