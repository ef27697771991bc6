#include "Platform/Launchd/JobProcess.h"
#include "Platform/Workspace/ProcessList.h"
#include "Platform/Workspace/ProcessStat.h"
#include "Platform/Workspace/Workspace.h"
#include "RootProcesses.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

// A sleeper whose exec has finished.
pid_t startSleeper()
{
    const pid_t pid = platform::launchd::spawnDetached("/bin/sleep", {"/bin/sleep", "30"});
    testsupport::waitForExec(pid);
    return pid;
}

// Every read of a process answers what it is while it runs, and null (never a
// throw) once it has ended, listed a moment before or not.
TEST(ProcessList, AProcessThatHasEndedIsPassedOver)
{
    const pid_t pid = startSleeper();
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(std::ranges::count(platform::listedProcesses(), pid) == 1);
    EXPECT_EQ(platform::processCommandLine(pid), (std::vector<std::string>{"/bin/sleep", "30"}));
    EXPECT_TRUE(platform::processExecutable(pid));
    EXPECT_TRUE(platform::runningProcessStartTime(pid));

    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    EXPECT_FALSE(platform::readProcessFile(pid, "cmdline"));
    EXPECT_FALSE(platform::processCommandLine(pid));
    EXPECT_FALSE(platform::processExecutable(pid));
    EXPECT_FALSE(platform::runningProcessStartTime(pid));
}

// Short-lived processes come and go while the list is read over and over.
TEST(ProcessList, ReadingEveryProcessWhileOthersComeAndGoNeverThrows)
{
    std::atomic<bool> churning{true};
    std::thread churn([&] {
        while (churning) {
            const pid_t pid = platform::launchd::spawnDetached("/bin/true", {"/bin/true"});
            if (pid > 0)
                ::waitpid(pid, nullptr, 0);
        }
    });
    const auto end = std::chrono::steady_clock::now() + 1s;
    while (std::chrono::steady_clock::now() < end) {
        EXPECT_NO_THROW({
            for (const pid_t pid : platform::listedProcesses())
                (void)platform::processCommandLine(pid);
            (void)platform::Workspace::shared().runningApplications();
        });
    }
    churning = false;
    churn.join();
}

} // namespace
