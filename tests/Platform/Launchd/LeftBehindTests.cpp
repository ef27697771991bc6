#include "Platform/Launchd/JobRegistry.h"
#include "Platform/Launchd/LaunchdTestFixture.h"
#include "Platform/Tools/ToolProcess.h"
#include "Platform/Workspace/ProcessStat.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using platform::LaunchdDomain;

namespace {

constexpr const char* dyingTestVariable = "BG_DYING_TEST_REPORT";

class LeftBehind : public testsupport::LaunchdTest {
protected:
    [[noreturn]] static void startAJobAndDie(const std::string& report);
};

// In the dying copy: a kept-alive job runs, its PIDs and the copy's root are told,
// and the test process is killed before any tear-down.
void LeftBehind::startAJobAndDie(const std::string& report)
{
    const platform::Dictionary job{{"Label", "com.example.left-behind"},
                                   {"ProgramArguments", platform::Array{"/bin/sleep", "60"}},
                                   {"KeepAlive", true}};
    const auto registry = platform::launchd::JobRegistry::forDomain(LaunchdDomain::User);
    if (platform::SMJobSubmit(LaunchdDomain::User, job, nullptr, nullptr))
        if (const auto pid = waitForPID(LaunchdDomain::User, "com.example.left-behind"))
            std::ofstream(report) << *pid << ' ' << registry.read("com.example.left-behind")->supervisorPid.value_or(0)
                                  << ' ' << testsupport::platformRootFolder().string() << '\n';
    ::kill(::getpid(), SIGKILL);
    std::abort(); // not reached
}

// A test process that dies leaves no launchd supervisor and no job running from
// its root.
TEST_F(LeftBehind, ATestProcessThatDiesLeavesNoSupervisorOrJobRunning)
{
    if (const char* report = std::getenv(dyingTestVariable))
        startAJobAndDie(report);
    const fs::path report = testsupport::underRoot("/private/tmp/dying-test.report");
    fs::create_directories(report.parent_path());
    std::error_code error;
    const std::string self = fs::read_symlink("/proc/self/exe", error).string();
    ::setenv(dyingTestVariable, report.c_str(), 1);
    auto dying = platform::ToolProcess::launch(
        self, {"--gtest_filter=LeftBehind.ATestProcessThatDiesLeavesNoSupervisorOrJobRunning"},
        platform::ToolProcess::Capture::Output);
    ::unsetenv(dyingTestVariable);
    ASSERT_TRUE(dying);
    (void)dying->readOutputToEnd();
    EXPECT_EQ(dying->waitForExit(), SIGKILL);

    std::ifstream told(report);
    long long job = 0, supervisor = 0;
    std::string root;
    ASSERT_TRUE(told >> job >> supervisor >> root) << "the dying copy started its job";
    ASSERT_GT(supervisor, 0);
    EXPECT_TRUE(waitUntil([&] {
        return !platform::runningProcessStartTime(static_cast<pid_t>(job)) &&
               !platform::runningProcessStartTime(static_cast<pid_t>(supervisor));
    })) << "job " << job << ", supervisor " << supervisor;
    if (root.find("bg-test-root-") != std::string::npos)
        fs::remove_all(root, error);
}

} // namespace
