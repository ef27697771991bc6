#include "Platform/Launchd/ConsoleUser.h"
#include "Platform/Launchd/JobProcess.h"
#include "Platform/Launchd/JobRegistry.h"
#include "Platform/Launchd/ServiceManagement.h"
#include "Platform/Launchd/LaunchdTestFixture.h"
#include "Platform/Root/PlatformRoot.h"
#include "Platform/Workspace/ProcessStat.h"
#include "ProcessStatus.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <utility>

using platform::Array;
using platform::Dictionary;
using platform::LaunchdDomain;
using platform::Value;

namespace {

class ServiceManagement : public testsupport::LaunchdTest {
protected:

    static Dictionary sleeper(const std::string& label)
    {
        return {{"Label", label}, {"ProgramArguments", Array{"/bin/sleep", "30"}}, {"RunAtLoad", true}};
    }
};

TEST_F(ServiceManagement, JobRunsAtLoadAndRemovalStopsIt)
{
    ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::User, sleeper("com.example.sleeper"), nullptr, nullptr));
    const auto pid = waitForPID(LaunchdDomain::User, "com.example.sleeper");
    ASSERT_TRUE(pid);
    EXPECT_TRUE(processExists(*pid));

    ASSERT_TRUE(platform::SMJobRemove(LaunchdDomain::User, "com.example.sleeper", nullptr, true, nullptr));
    EXPECT_FALSE(processExists(*pid));
    EXPECT_FALSE(platform::SMJobCopyDictionary(LaunchdDomain::User, "com.example.sleeper"));
}

// The supervisor rewrites its job's record (atomically) whenever the job starts or
// ends: a reader meanwhile still finds the job loaded.
TEST_F(ServiceManagement, AJobWhoseRecordIsReplacedWhileItIsReadStaysLoaded)
{
    ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::User, sleeper("com.example.sleeper"), nullptr, nullptr));
    ASSERT_TRUE(waitForPID(LaunchdDomain::User, "com.example.sleeper"));
    const auto registry = platform::launchd::JobRegistry::forDomain(LaunchdDomain::User);
    const auto record = registry.read("com.example.sleeper");
    ASSERT_TRUE(record);
    std::atomic<bool> reading = true;
    std::thread supervisorWrites([&] {
        while (reading)
            (void)registry.write("com.example.sleeper", *record);
    });
    int jobsRead = 0;
    for (int read = 0; read < 1000; ++read)
        jobsRead += platform::SMJobCopyDictionary(LaunchdDomain::User, "com.example.sleeper").has_value();
    reading = false;
    supervisorWrites.join();
    EXPECT_EQ(jobsRead, 1000);
}

TEST_F(ServiceManagement, RemovalWithoutWaitingUnlistsTheJobAtOnceAndStopsItSoon)
{
    ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::User, sleeper("com.example.sleeper"), nullptr, nullptr));
    const auto pid = waitForPID(LaunchdDomain::User, "com.example.sleeper");
    ASSERT_TRUE(pid);

    ASSERT_TRUE(platform::SMJobRemove(LaunchdDomain::User, "com.example.sleeper", nullptr, false, nullptr));
    EXPECT_FALSE(platform::SMJobCopyDictionary(LaunchdDomain::User, "com.example.sleeper"));
    EXPECT_TRUE(platform::SMCopyAllJobDictionaries(LaunchdDomain::User).empty());
    platform::Error again;
    EXPECT_FALSE(platform::SMJobRemove(LaunchdDomain::User, "com.example.sleeper", nullptr, false, &again));
    EXPECT_EQ(again.code, ESRCH);
    EXPECT_TRUE(waitUntil([&] { return !processExists(*pid); }));

    ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::User, sleeper("com.example.sleeper"), nullptr, nullptr));
    const auto next = waitForPID(LaunchdDomain::User, "com.example.sleeper");
    ASSERT_TRUE(next);
    EXPECT_NE(*next, *pid);
}

TEST_F(ServiceManagement, SupervisorOfARunningJobSleepsUntilSomethingChanges)
{
    ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::User, sleeper("com.example.sleeper"), nullptr, nullptr));
    ASSERT_TRUE(waitForPID(LaunchdDomain::User, "com.example.sleeper"));
    const auto supervisor =
        platform::launchd::JobRegistry::forDomain(LaunchdDomain::User).read("com.example.sleeper")->supervisorPid;
    ASSERT_TRUE(supervisor);
    // Once settled after starting the job, it is not woken at all while nothing happens.
    auto quietFor = [&](std::chrono::milliseconds span) {
        const auto before = testsupport::contextSwitches(*supervisor);
        std::this_thread::sleep_for(span);
        return testsupport::contextSwitches(*supervisor) == before;
    };
    EXPECT_TRUE(waitUntil([&] { return quietFor(std::chrono::milliseconds(100)); }));
    EXPECT_TRUE(quietFor(std::chrono::milliseconds(500)));
    ASSERT_TRUE(platform::SMJobRemove(LaunchdDomain::User, "com.example.sleeper", nullptr, true, nullptr));
    EXPECT_TRUE(waitUntil([&] { return !processExists(*supervisor); }));
}

// A kept-alive job whose program is missing, with ThrottleInterval 0, is not tried
// again at once: its supervisor sleeps as an idle one does. The idle supervisor is
// not woken by that job, nor by writes of another job's record.
TEST_F(ServiceManagement, AFailingJobDoesNotSpinAndOtherJobsRecordsWakeNoSupervisor)
{
    const auto registry = platform::launchd::JobRegistry::forDomain(LaunchdDomain::User);
    ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::User, sleeper("com.example.sleeper"), nullptr, nullptr));
    ASSERT_TRUE(waitForPID(LaunchdDomain::User, "com.example.sleeper"));
    const Dictionary failing{{"Label", "com.example.missing"},
                             {"ProgramArguments", Array{testsupport::underRoot("/private/tmp/none").string()}},
                             {"KeepAlive", true},
                             {"ThrottleInterval", 0}};
    ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::User, failing, nullptr, nullptr));
    ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::User, sleeper("com.example.other"), nullptr, nullptr));
    ASSERT_TRUE(waitForPID(LaunchdDomain::User, "com.example.other"));
    const long long idle = *registry.read("com.example.sleeper")->supervisorPid;
    const long long busy = *registry.read("com.example.missing")->supervisorPid;
    const auto switches = [&] { return testsupport::contextSwitches(idle) + testsupport::contextSwitches(busy); };
    long long before = switches();
    EXPECT_TRUE(waitUntil([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return std::exchange(before, switches()) == before;
    })) << "both settle";

    const auto other = *registry.read("com.example.other");
    for (int write = 0; write < 20; ++write) {
        const auto guard = registry.lock();
        ASSERT_TRUE(registry.write("com.example.other", other));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(switches(), before) << "neither woken in 1 s of another job's writes";
    EXPECT_EQ(registry.read("com.example.missing")->lastExitStatus, 127 << 8);
    EXPECT_FALSE(registry.read("com.example.missing")->supervisorFinished);
}

// A supervisor that has ended takes the job with it, whether its PID is gone or,
// after a restart of the machine, names another process: the job is not listed,
// and submitting it again starts it anew.
TEST_F(ServiceManagement, AJobWhoseSupervisorHasEndedIsNotLoadedAndASubmitStartsItAnew)
{
    using platform::launchd::JobRecord;
    const auto registry = platform::launchd::JobRegistry::forDomain(LaunchdDomain::User);
    const std::string label = "com.example.sleeper";
    struct Case {
        std::string name;
        std::function<void(JobRecord&)> afterTheSupervisorIsGone;
    };
    for (const auto& [name, afterTheSupervisorIsGone] : std::vector<Case>{
             {"killed", [](JobRecord&) {}},
             {"its PID now another process's", [](JobRecord& record) { record.supervisorPid = ::getpid(); }},
             {"none recorded, its start having failed",
              [](JobRecord& record) {
                  record.supervisorPid.reset();
                  record.supervisorStartTime.reset();
                  record.pid.reset();
              }},
         }) {
        ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::User, sleeper(label), nullptr, nullptr)) << name;
        const auto pid = waitForPID(LaunchdDomain::User, label);
        ASSERT_TRUE(pid) << name;
        auto record = *registry.read(label);
        ::kill(static_cast<pid_t>(*record.supervisorPid), SIGKILL);
        ::kill(static_cast<pid_t>(*pid), SIGKILL);
        ASSERT_TRUE(waitUntil([&] { return !platform::runningProcessStartTime(*record.supervisorPid); })) << name;
        afterTheSupervisorIsGone(record);
        ASSERT_TRUE(registry.write(label, record));

        EXPECT_FALSE(platform::SMJobCopyDictionary(LaunchdDomain::User, label)) << name;
        EXPECT_TRUE(platform::SMCopyAllJobDictionaries(LaunchdDomain::User).empty()) << name;
        ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::User, sleeper(label), nullptr, nullptr)) << name;
        const auto next = waitForPID(LaunchdDomain::User, label, *pid);
        ASSERT_TRUE(next) << name;
        EXPECT_TRUE(processExists(*next)) << name;
        ASSERT_TRUE(platform::SMJobRemove(LaunchdDomain::User, label, nullptr, true, nullptr)) << name;
    }
}

// The supervisor's tool cannot run (not executable, as mid-update): the submit
// fails and says why, nothing stays registered, and the next submit starts the job.
TEST_F(ServiceManagement, ASupervisorThatCannotStartFailsTheSubmitAndLeavesNoRecord)
{
    platform::Error error;
    {
        const testsupport::UnrunnableSupervisor broken;
        EXPECT_FALSE(platform::SMJobSubmit(LaunchdDomain::User, sleeper("com.example.sleeper"), nullptr, &error));
        EXPECT_THAT(error.localizedDescription, testing::HasSubstr(broken.tool().string()));
    }
    EXPECT_EQ(error.code, EACCES);
    EXPECT_FALSE(platform::launchd::JobRegistry::forDomain(LaunchdDomain::User).read("com.example.sleeper"));

    ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::User, sleeper("com.example.sleeper"), nullptr, nullptr));
    EXPECT_TRUE(waitForPID(LaunchdDomain::User, "com.example.sleeper"));
}

// A job that ran at load and ended, or whose program cannot run, stays loaded
// once its supervisor is done with it, as launchd keeps it.
TEST_F(ServiceManagement, AJobItsSupervisorIsDoneWithStaysLoaded)
{
    const auto registry = platform::launchd::JobRegistry::forDomain(LaunchdDomain::User);
    for (const auto& [label, program] : {std::pair{"com.example.once-at-load", "/bin/true"},
                                         std::pair{"com.example.cannot-run", "/nonexistent/tool"}}) {
        const Dictionary job{{"Label", label}, {"Program", program}, {"RunAtLoad", true}};
        ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::User, job, nullptr, nullptr)) << label;
        ASSERT_TRUE(waitUntil([&] {
            const auto record = registry.read(label);
            return record && !record->supervisorPid;
        })) << label;
        EXPECT_TRUE(platform::SMJobCopyDictionary(LaunchdDomain::User, label)) << label;
        platform::Error error;
        EXPECT_FALSE(platform::SMJobSubmit(LaunchdDomain::User, job, nullptr, &error)) << label;
        EXPECT_EQ(error.code, EEXIST) << label;
    }
}

// A kept-alive job whose program cannot be started (not there yet, or not
// runnable for one start) stays loaded and is tried again, no sooner than 10 s
// after the failed start whatever its throttle interval, until it runs. Both
// cases wait out the 10 s together.
TEST_F(ServiceManagement, AKeptAliveJobWhoseProgramCannotStartIsTriedAgainUntilItRuns)
{
    namespace fs = std::filesystem;
    const auto registry = platform::launchd::JobRegistry::forDomain(LaunchdDomain::User);
    struct Case {
        std::string name;
        std::function<void(const fs::path&)> breakIt;
    };
    const std::vector<Case> cases{
        {"not there yet", [](const fs::path&) {}},
        {"without its run bit",
         [](const fs::path& program) {
             testsupport::plantFile(program, "#!/bin/sh\nexec sleep 30\n");
             fs::permissions(program, fs::perms::owner_read | fs::perms::owner_write);
         }},
    };
    const auto labelOf = [](std::size_t index) { return "com.example.late" + std::to_string(index); };
    const auto programOf = [](std::size_t index) {
        return testsupport::underRoot("/private/tmp/late-tool" + std::to_string(index));
    };
    for (std::size_t index = 0; index < cases.size(); ++index) {
        const auto& [name, breakIt] = cases[index];
        breakIt(programOf(index));
        const Dictionary job{{"Label", labelOf(index)},
                             {"ProgramArguments", Array{programOf(index).string()}},
                             {"KeepAlive", true},
                             {"ThrottleInterval", 1}};
        ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::User, job, nullptr, nullptr)) << name;
        const auto failed = [&] { return registry.read(labelOf(index))->lastExitStatus == 127 << 8; };
        ASSERT_TRUE(waitUntil(failed)) << name;
        EXPECT_FALSE(registry.read(labelOf(index))->supervisorFinished) << name;
        ASSERT_TRUE(platform::SMJobCopyDictionary(LaunchdDomain::User, labelOf(index))) << name;
    }
    for (std::size_t index = 0; index < cases.size(); ++index) {
        testsupport::plantFile(programOf(index), "#!/bin/sh\nexec sleep 30\n");
        fs::permissions(programOf(index), fs::perms::owner_all);
    }
    platform::dispatch::runMainLoopFor(std::chrono::seconds(5));
    for (std::size_t index = 0; index < cases.size(); ++index)
        EXPECT_FALSE(registry.read(labelOf(index))->pid) << cases[index].name << ": not tried again within 5 s";
    for (std::size_t index = 0; index < cases.size(); ++index) {
        const auto& name = cases[index].name;
        const auto running = [&] { return registry.read(labelOf(index))->pid.has_value(); };
        ASSERT_TRUE(platform::dispatch::runMainLoopUntil(running, std::chrono::seconds(10))) << name << ": tried again";
        EXPECT_TRUE(processExists(*registry.read(labelOf(index))->pid)) << name;
        ASSERT_TRUE(platform::SMJobRemove(LaunchdDomain::User, labelOf(index), nullptr, true, nullptr)) << name;
    }
}

TEST_F(ServiceManagement, KeepAliveStartsTheJobAgainUntilRemoved)
{
    const Dictionary job{{"Label", "com.example.flaky"},
                         {"ProgramArguments", Array{"/bin/sh", "-c", "sleep 0.2; exit 3"}},
                         {"KeepAlive", true},
                         {"ThrottleInterval", 0}};
    ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::User, job, nullptr, nullptr));
    const auto first = waitForPID(LaunchdDomain::User, "com.example.flaky");
    ASSERT_TRUE(first);
    const auto second = waitForPID(LaunchdDomain::User, "com.example.flaky", *first);
    ASSERT_TRUE(second);
    EXPECT_EQ(platform::SMJobCopyDictionary(LaunchdDomain::User, "com.example.flaky")->at("LastExitStatus"),
              Value(3 << 8));
    ASSERT_TRUE(platform::SMJobRemove(LaunchdDomain::User, "com.example.flaky", nullptr, true, nullptr));
    EXPECT_FALSE(processExists(*second));
}

TEST_F(ServiceManagement, OneShotRunsToItsEndBeforeSubmitReturnsAndStaysRegistered)
{
    playUnprivilegedProcess();
    const auto marker = testsupport::underRoot("/private/tmp/one-shot-ran");
    std::filesystem::create_directories(marker.parent_path());
    const Dictionary job{{"Label", "com.example.once"},
                         {"ProgramArguments", Array{"/bin/sh", "-c", "sleep 0.2; touch '" + marker.string() + "'"}},
                         {"RunAtLoad", true},
                         {"LaunchOnlyOnce", true}};
    platform::Error refused;
    EXPECT_FALSE(platform::SMJobSubmit(LaunchdDomain::System, job, nullptr, &refused));
    EXPECT_EQ(refused.code, EPERM);

    platform::AuthorizationAgent::setPolicy(platform::AuthorizationAnswer::Grant);
    const platform::AuthorizationRights rights{{"com.example.once", "", 0}};
    platform::AuthorizationRef authorization = nullptr;
    ASSERT_EQ(platform::AuthorizationCreate(&rights, nullptr, 3, &authorization), 0);
    ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::System, job, authorization, nullptr));
    EXPECT_TRUE(std::filesystem::exists(marker));
    EXPECT_EQ(platform::SMJobCopyDictionary(LaunchdDomain::System, "com.example.once")->at("LastExitStatus"), Value(0));

    platform::Error duplicate;
    EXPECT_FALSE(platform::SMJobSubmit(LaunchdDomain::System, job, authorization, &duplicate));
    EXPECT_EQ(duplicate, (platform::Error{"CFErrorDomainLaunchd", EEXIST, "File exists"}));
    (void)platform::AuthorizationFree(authorization, 0);
}

TEST_F(ServiceManagement, RefusesBadJobsAndUnknownLabels)
{
    platform::Error error;
    EXPECT_FALSE(platform::SMJobSubmit(LaunchdDomain::User, {{"Label", "com.example.nothing-to-run"}}, nullptr, &error));
    EXPECT_EQ(error.code, EINVAL);
    for (const char* label : {"../escape", "com.example.two\nlines", "com.example.tab\there", "com.example.del\x7f"}) {
        EXPECT_FALSE(platform::SMJobSubmit(LaunchdDomain::User, {{"Label", label}, {"Program", "/bin/true"}},
                                           nullptr, &error))
            << label;
        EXPECT_EQ(error.code, EINVAL) << label;
    }
    EXPECT_TRUE(platform::SMCopyAllJobDictionaries(LaunchdDomain::User).empty());
    EXPECT_FALSE(platform::SMJobRemove(LaunchdDomain::User, "com.example.unknown", nullptr, true, &error));
    EXPECT_EQ(error, (platform::Error{"CFErrorDomainLaunchd", ESRCH, "No such process"}));
}

// Who the job's process becomes, from the plist's names; a name that names nobody is refused.
TEST_F(ServiceManagement, AJobsCredentialsComeFromItsUserNameGroupNameAndInitGroups)
{
    using platform::launchd::JobCredentials;
    struct Case {
        Dictionary names;
        std::optional<uid_t> uid;
        std::optional<gid_t> gid;
        std::optional<std::vector<gid_t>> groups;
    };
    const std::vector<Case> cases{
        {{}, std::nullopt, std::nullopt, std::nullopt},
        {{{"UserName", "nobody"}}, 65534, 65534, std::vector<gid_t>{65534}},
        {{{"UserName", "nobody"}, {"GroupName", "root"}}, 65534, 0, std::vector<gid_t>{0}},
        {{{"UserName", "root"}, {"InitGroups", true}}, 0, 0, std::vector<gid_t>{0}},
        {{{"GroupName", "nogroup"}}, std::nullopt, 65534, std::nullopt},
    };
    for (const auto& [names, uid, gid, groups] : cases) {
        const auto credentials = platform::launchd::credentialsOfJob(names);
        const auto* taken = std::get_if<JobCredentials>(&credentials);
        ASSERT_TRUE(taken) << std::get<std::string>(credentials);
        EXPECT_EQ(taken->uid, uid);
        EXPECT_EQ(taken->gid, gid);
        EXPECT_EQ(taken->groups, groups);
    }
    for (const auto& [key, said] : {std::pair{"UserName", "UserName \"bg-nobody-at-all\" names no user"},
                                    std::pair{"GroupName", "GroupName \"bg-nobody-at-all\" names no group"}}) {
        Dictionary job = sleeper("com.example.unknown-name");
        job[key] = "bg-nobody-at-all";
        platform::Error error;
        EXPECT_FALSE(platform::SMJobSubmit(LaunchdDomain::User, job, nullptr, &error));
        EXPECT_EQ(error, (platform::Error{"CFErrorDomainLaunchd", EINVAL, said}));
    }
    EXPECT_TRUE(platform::SMCopyAllJobDictionaries(LaunchdDomain::User).empty());
}

TEST_F(ServiceManagement, DomainsAreSeparateAndListedByLabel)
{
    const Dictionary idle{{"Label", "com.example.b"}, {"Program", "/bin/true"}};
    ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::User, idle, nullptr, nullptr));
    ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::User, {{"Label", "com.example.a"}, {"Program", "/bin/true"}},
                                      nullptr, nullptr));
    const auto all = platform::SMCopyAllJobDictionaries(LaunchdDomain::User);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(*all[0].find("Label"), Value("com.example.a"));
    EXPECT_EQ(*all[1].find("LastExitStatus"), Value(0));
    EXPECT_TRUE(platform::SMCopyAllJobDictionaries(LaunchdDomain::System).empty());
}

TEST_F(ServiceManagement, ConsoleUserIsTheLoginNameUnlessSet)
{
    EXPECT_EQ(platform::consoleUser(), platform::userName());
    platform::setConsoleUser("loginwindow");
    EXPECT_EQ(platform::consoleUser(), "loginwindow");
    platform::setConsoleUser(std::nullopt);
    EXPECT_FALSE(platform::consoleUser());
    platform::resetConsoleUser();
    EXPECT_EQ(platform::consoleUser(), platform::userName());
}

} // namespace
