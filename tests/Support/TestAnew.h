#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

extern char** environ;

namespace testsupport {

// Set in a process that runs one test anew.
inline constexpr const char* testAnewVariable = "BG_TEST_ANEW";

inline bool isTestRunAnew()
{
    return std::getenv(testAnewVariable) != nullptr;
}

// Starts the current test anew, alone, in a process of its own (this test program,
// exec'd afresh: no cache, static or thread of this one in it), and answers its
// process id. `beforeExec` runs in the fork before the exec (async-signal-safe
// calls only); its false ends the fork instead.
inline pid_t startTestAnew(const std::function<bool()>& beforeExec = {})
{
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string self = "/proc/self/exe";
    const std::string filter = std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name();
    const std::string marker = std::string(testAnewVariable) + "=1";
    std::vector<char*> arguments{const_cast<char*>(self.c_str()), const_cast<char*>(filter.c_str()), nullptr};
    std::vector<char*> environment{const_cast<char*>(marker.c_str())};
    for (char** variable = environ; *variable; ++variable)
        environment.push_back(*variable);
    environment.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        if (beforeExec && !beforeExec())
            ::_exit(3);
        ::execve(self.c_str(), arguments.data(), environment.data());
        ::_exit(4);
    }
    return child;
}

// For a test of what a process fixes once, at its first use (a path, a store
// opened once): true in a process of the test's own, where the test's body runs;
// false here, once that process has ended, its result expected to be a pass.
// Use: `if (!testsupport::inProcessOfItsOwn()) return;`
inline bool inProcessOfItsOwn()
{
    if (isTestRunAnew())
        return true;
    const pid_t child = startTestAnew();
    int status = 0;
    EXPECT_EQ(child > 0 ? ::waitpid(child, &status, 0) : child, child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the test failed in a process of its own";
    return false;
}

} // namespace testsupport
