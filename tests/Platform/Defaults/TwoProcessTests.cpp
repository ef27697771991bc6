#include "Platform/Defaults/UserDefaults.h"

#include "TestRoot.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace platform;

const char* const suiteName = "K4QZ7XRW31.com.tarnwicklabs.agsq";
constexpr int keysPerProcess = 100;

std::string childKey(int i) { return "ChildKey" + std::to_string(i); }
std::string parentKey(int i) { return "ParentKey" + std::to_string(i); }

// Forked writer: ends with the test, killed if the test leaves early.
struct ChildProcess {
    pid_t pid = -1;
    ~ChildProcess()
    {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
    int wait()
    {
        int status = 0;
        const pid_t ended = ::waitpid(pid, &status, 0);
        pid = -1;
        return ended > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

// The child writes its keys, waits for the parent's "done", then checks it sees every parent key.
int runChild(int parentDone)
{
    const auto suite = UserDefaults::suite(suiteName);
    if (!suite)
        return 2;
    for (int i = 0; i < keysPerProcess; ++i)
        suite->setInteger(childKey(i), i);
    char byte = 0;
    if (::read(parentDone, &byte, 1) != 1)
        return 3;
    for (int i = 0; i < keysPerProcess; ++i)
        if (suite->text(parentKey(i)) != "value " + std::to_string(i))
            return 4;
    return 0;
}

class TwoProcessTest : public testsupport::PlatformRootTest {};

TEST_F(TwoProcessTest, InterleavedWritersOfTheSuiteLoseNothingAndSeeEachOther)
{
    const auto suite = UserDefaults::suite(suiteName);
    ASSERT_TRUE(suite);
    EXPECT_TRUE(suite->dictionaryRepresentation().empty());
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    ChildProcess child;
    child.pid = ::fork();
    ASSERT_GE(child.pid, 0);
    if (child.pid == 0) {
        ::close(pipeFds[1]);
        ::_exit(runChild(pipeFds[0]));
    }
    ::close(pipeFds[0]);
    for (int i = 0; i < keysPerProcess; ++i)
        suite->setObject(parentKey(i), Value("value " + std::to_string(i)));
    ASSERT_EQ(::write(pipeFds[1], "x", 1), 1);
    ::close(pipeFds[1]);
    EXPECT_EQ(child.wait(), 0);

    for (int i = 0; i < keysPerProcess; ++i) {
        EXPECT_EQ(suite->integer(childKey(i)), i);
        EXPECT_EQ(suite->text(parentKey(i)), "value " + std::to_string(i));
    }
    EXPECT_EQ(suite->dictionaryRepresentation().size(), 2u * keysPerProcess);
}

} // namespace
