#include "Platform/Defaults/UserDefaults.h"

#include "TestRoot.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

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

// The files in the suite's folder that a process has open, other than the suite and its lock.
std::vector<std::string> otherFilesOpenIn(pid_t pid, const std::string& suitePath)
{
    const std::string folder = std::filesystem::path(suitePath).parent_path().string() + "/";
    std::vector<std::string> open;
    std::error_code error;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
        std::error_code unreadable;
        const std::string target = std::filesystem::read_symlink(fd.path(), unreadable).string();
        if (!unreadable && target.starts_with(folder) && !target.starts_with(suitePath))
            open.push_back(target);
    }
    return open;
}

// A writer killed while it writes a large suite (as by SIGKILL or a power cut) leaves
// nothing beside the suite once the next write has run, and the suite is whole.
TEST_F(TwoProcessTest, AWriterKilledMidWriteLeavesNoTemporaryFileAfterTheNextWrite)
{
    const auto suite = UserDefaults::suite(suiteName);
    ASSERT_TRUE(suite);
    ASSERT_TRUE(suite->setBool("IsActiveProtectionEnabledBGX", true));
    const std::filesystem::path folder = std::filesystem::path(suite->plistPath()).parent_path();
    for (int cut = 0; cut < 2; ++cut) {
        SCOPED_TRACE("cut " + std::to_string(cut));
        ChildProcess child;
        child.pid = ::fork();
        ASSERT_GE(child.pid, 0);
        if (child.pid == 0) {
            const auto writer = UserDefaults::suite(suiteName);
            for (std::uint8_t round = 0; writer; ++round)
                writer->setObject("Blob", Value(Data(std::size_t{24} << 20, round)));
            ::_exit(2);
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (otherFilesOpenIn(child.pid, suite->plistPath()).empty() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        ASSERT_FALSE(otherFilesOpenIn(child.pid, suite->plistPath()).empty()) << "the writer never wrote";
        ::kill(child.pid, SIGKILL);
        child.wait();
    }
    ASSERT_TRUE(suite->setBool("IsStartupProtectionEnabledBGX", true));
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        entries.push_back(entry.path().filename().string());
    std::sort(entries.begin(), entries.end());
    const std::string file = std::filesystem::path(suite->plistPath()).filename().string();
    EXPECT_EQ(entries, (std::vector<std::string>{file, file + ".lock"}));
    EXPECT_EQ(suite->boolean("IsActiveProtectionEnabledBGX"), true);
    EXPECT_EQ(suite->boolean("IsStartupProtectionEnabledBGX"), true);
}

} // namespace
