#include "ProcessGuard.h"

#include "Platform/Workspace/ProcessList.h"
#include "RootProcesses.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace testsupport {

namespace {

// Kills the processes whose environment holds the entry, round after round, since
// a supervisor may start its job again before it is itself ended.
void endProcessesWith(const std::string& entry)
{
    constexpr int rounds = 100;
    for (int round = 0; round < rounds; ++round) {
        bool found = false;
        for (const pid_t pid : platform::listedProcesses()) {
            if (pid != ::getpid() && environmentHolds(pid, entry)) {
                ::kill(pid, SIGKILL);
                found = true;
            }
        }
        if (!found)
            return;
        ::usleep(20'000);
    }
}

[[noreturn]] void watch(int endOfTestProcess, const std::string& entry)
{
    ::setsid(); // out of reach of a kill of the test's process group
    const int nowhere = ::open("/dev/null", O_RDWR);
    for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        ::dup2(nowhere, stream); // holds no pipe of whoever runs the tests
    char byte = 0;
    while (::read(endOfTestProcess, &byte, 1) < 0 && errno == EINTR) {
    }
    endProcessesWith(entry);
    ::_exit(0);
}

} // namespace

void guardProcessesOfTheRoot()
{
    const std::string entry = platformRootEntry();
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return;
    // Started through a go-between that ends at once, so the watchman is no child
    // of this process: tests that look for children find none of it.
    const pid_t between = ::fork();
    if (between == 0) {
        ::close(ends[1]);
        if (::fork() == 0)
            watch(ends[0], entry);
        ::_exit(0);
    }
    ::close(ends[0]);
    if (between < 0)
        ::close(ends[1]);
    else
        ::waitpid(between, nullptr, 0);
    // Otherwise the write end stays open, closed on exec, until this process ends.
}

} // namespace testsupport
