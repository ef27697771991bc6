#include "Helper/LDLaunchCtl/LDAuthorizer.h"
#include "Helper/LDLaunchCtl/LDJobs.h"
#include "Helper/LDLaunchCtl/LDLaunchCtl.h"
#include "Helper/LDLaunchCtl/LDPrivilegedFileManager.h"
#include "Platform/Launchd/ConsoleUser.h"
#include "Platform/Launchd/LaunchdTestFixture.h"
#include "Platform/Tools/ToolPaths.h"
#include "Platform/Values/PropertyList.h"
#include "StandInPkexec.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

namespace fs = std::filesystem;
using platform::AuthorizationAnswer;
using platform::AuthorizationAgent;
using platform::Dictionary;
using platform::Error;

namespace {

class LDLaunchCtlTest : public testsupport::LaunchdTest {
protected:
    static LDLaunchJob sleeper(const std::string& label)
    {
        LDLaunchJob job;
        job.setLabel(label);
        job.setProgramArguments(std::vector<std::string>{"/bin/sleep", "30"});
        job.setRunAtLoad(true);
        return job;
    }
    static fs::path userAgent(const std::string& label)
    {
        return *LDJobPlistPath(LDLaunchDomain::userLaunchAgent, label);
    }
    static unsigned modeOf(const fs::path& path)
    {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
    }
    LDLaunchCtl& controller = LDLaunchCtl::sharedController();
};

TEST_F(LDLaunchCtlTest, AddValidatesBeforeWritingAnything)
{
    struct Case {
        const char* label;
        const char* program;
        std::int64_t code;
    };
    for (const auto& test : {Case{"com.example.bad", "/no/such/tool", 19}, Case{"", "/bin/sleep", 2}}) {
        LDLaunchJob job;
        job.setLabel(test.label);
        job.setProgramArguments(std::vector<std::string>{test.program});
        Error error;
        EXPECT_FALSE(controller.add(job, LDLaunchDomain::userLaunchAgent, &error));
        EXPECT_EQ(error.code, test.code);
        EXPECT_TRUE(fs::is_empty(LDDomainFolder(LDLaunchDomain::userLaunchAgent)));
    }
}

TEST_F(LDLaunchCtlTest, ValidationLooksAtTheFirstProgramArgumentAndAtTheProgramOnlyWithoutArguments)
{
    // A switched-off login item comes back with its helper's bundle identifier as Program.
    LDLaunchJob helper;
    helper.setLabel("com.example.helper");
    helper.setOnDemand(true);
    helper.setProgramArguments(std::vector<std::string>{"/bin/sleep", "30"});
    helper.setProgram("com.example.helper");
    EXPECT_TRUE(controller.jobIsValid(helper, nullptr));

    LDLaunchJob programOnly;
    programOnly.setLabel("com.example.launcher");
    programOnly.setProgram("/bin/sleep");
    EXPECT_TRUE(controller.jobIsValid(programOnly, nullptr));

    LDLaunchJob badArgument = programOnly;
    badArgument.setProgramArguments(std::vector<std::string>{"/no/such/tool"});
    Error error;
    EXPECT_FALSE(controller.jobIsValid(badArgument, &error));
    EXPECT_EQ(error.code, 19);
}

TEST_F(LDLaunchCtlTest, AddedUserAgentRunsAndRemoveStopsItAndDeletesThePlist)
{
    LDLaunchJob job = sleeper("com.example.agent");
    ASSERT_TRUE(controller.add(job, LDLaunchDomain::userLaunchAgent, nullptr));
    EXPECT_EQ(job.domain(), LDLaunchDomain::userLaunchAgent);
    EXPECT_TRUE(fs::exists(userAgent("com.example.agent")));
    const auto pid = waitForPID(platform::LaunchdDomain::User, "com.example.agent");
    ASSERT_TRUE(pid);
    EXPECT_EQ(job.PID(), *pid);
    EXPECT_TRUE(job.isCurrentlyLoaded());

    ASSERT_TRUE(controller.remove("com.example.agent", LDLaunchDomain::userLaunchAgent, nullptr));
    EXPECT_FALSE(processExists(*pid));
    EXPECT_FALSE(fs::exists(userAgent("com.example.agent")));
}

TEST_F(LDLaunchCtlTest, RemovingAnAgentLaunchdDoesNotKnowKeepsItsPlist)
{
    const auto plist = userAgent("com.example.idle");
    ASSERT_TRUE(platform::writePropertyListFile(plist.string(), *sleeper("com.example.idle").dictionary()));
    Error error;
    EXPECT_FALSE(controller.remove("com.example.idle", LDLaunchDomain::userLaunchAgent, &error));
    EXPECT_EQ(error.domain, "CFErrorDomainLaunchd");
    EXPECT_TRUE(fs::exists(plist));
}

TEST_F(LDLaunchCtlTest, UnloadOfAnUnknownLabelIsJobNotLoaded)
{
    Error error;
    EXPECT_FALSE(controller.unload("com.example.unknown", LDLaunchDomain::userLaunchAgent, &error));
    EXPECT_EQ(error, (Error{"com.vorqapps.ldlaunchctl", 3, "Job not loaded"}));
}

TEST_F(LDLaunchCtlTest, AtTheLoginWindowAgentsAreNeitherLoadedNorUnloaded)
{
    LDLaunchJob loaded = sleeper("com.example.loaded");
    ASSERT_TRUE(controller.load(loaded, LDLaunchDomain::userLaunchAgent, nullptr));
    platform::setConsoleUser("loginwindow");

    LDLaunchJob job = sleeper("com.example.later");
    EXPECT_TRUE(controller.load(job, LDLaunchDomain::userLaunchAgent, nullptr));
    EXPECT_FALSE(LDJobIsLoaded("com.example.later", LDLaunchDomain::userLaunchAgent));

    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(controller.unload("com.example.loaded", LDLaunchDomain::userLaunchAgent, nullptr));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "No User Logged in\n");
    EXPECT_TRUE(LDJobIsLoaded("com.example.loaded", LDLaunchDomain::userLaunchAgent));
}

TEST_F(LDLaunchCtlTest, CancelledAuthorisationIsReportedWithItsCode)
{
    AuthorizationAgent::setPolicy(AuthorizationAnswer::Cancel);
    LDLaunchJob job = sleeper("com.example.global");
    Error error;
    EXPECT_FALSE(controller.add(job, LDLaunchDomain::globalLaunchAgent, &error));
    EXPECT_EQ(error, (Error{"com.vorqapps.ldlaunchctl", -60006, "Authorizaton canceled by user."}));
    AuthorizationAgent::setPolicy(AuthorizationAnswer::Deny);
    EXPECT_FALSE(controller.add(job, LDLaunchDomain::globalLaunchAgent, &error));
    EXPECT_EQ(error.code, 17);
    EXPECT_FALSE(fs::exists(*LDJobPlistPath(LDLaunchDomain::globalLaunchAgent, "com.example.global")));
}

// Played as user 501: the root-owned folder and registry are changed through the
// elevation tool, after the one dialog.
TEST_F(LDLaunchCtlTest, PrivilegedAddWritesThePlistAndLoadsThroughTheElevationTool)
{
    playUnprivilegedProcess();
    testsupport::StandInPkexec pkexec;
    std::vector<platform::AuthorizationRequest> asked;
    AuthorizationAgent::setPrompt([&](const platform::AuthorizationRequest& request) {
        asked.push_back(request);
        return AuthorizationAnswer::Grant;
    });
    LDLaunchJob job = sleeper("com.example.daemon");
    ASSERT_TRUE(controller.add(job, LDLaunchDomain::globalLaunchDaemon, nullptr));
    const fs::path plist = *LDJobPlistPath(LDLaunchDomain::globalLaunchDaemon, "com.example.daemon");
    EXPECT_EQ(platform::readPropertyListFile(plist.string()), platform::Value(*job.dictionary()));
    EXPECT_EQ(modeOf(plist), 0644u);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].prompt, "Loading the job requires authorization.");
    EXPECT_EQ(pkexec.recordedCommand(),
              (std::vector<std::string>{fs::canonical(platform::resolveToolPath("/bin/launchctl")), "load", "-w",
                                        plist.string()}));
    EXPECT_EQ(LDAllJobDictionaries(LDLaunchDomain::globalLaunchDaemon).size(), 1u);
}

TEST_F(LDLaunchCtlTest, PrivilegedPlistWriteFailsWhenTheFileIsNotInPlace)
{
    playUnprivilegedProcess();
    AuthorizationAgent::setPolicy(AuthorizationAnswer::Grant);
    platform::AuthorizationRef authRef = nullptr;
    ASSERT_EQ(LDAuthorizer::authorizeSystemDaemonWithLabel("com.example.x", "", &authRef), 0);
    const Dictionary job{{"Label", "com.example.x"}, {"Program", "/bin/true"}};
    // The target folder is a file: the move fails, the chown job still "succeeds" to submit.
    fs::remove_all(LDDomainFolder(LDLaunchDomain::globalLaunchAgent));
    testsupport::plantFile(testsupport::underRoot("/Library/LaunchAgents"));
    Error error;
    EXPECT_FALSE(LDJobWritePlist(LDLaunchDomain::globalLaunchAgent, job, authRef, &error));
    EXPECT_EQ(error.code, 15);
    EXPECT_FALSE(LDJobWritePlist(LDLaunchDomain::globalLaunchAgent, {{"Program", "/bin/true"}}, authRef, nullptr));
    LDAuthorizer::authorizationFree(authRef);
}

TEST_F(LDLaunchCtlTest, PermissionsAreHandedToChmodInOctal)
{
    playUnprivilegedProcess();
    AuthorizationAgent::setPolicy(AuthorizationAnswer::Grant);
    const auto file = testsupport::plantFile(testsupport::underRoot("/Library/LaunchDaemons/mode-test"));
    ASSERT_TRUE(LDPrivilegedFileManager::setAttributes({{LDPrivilegedFileManager::posixPermissions, 0600}},
                                                       file.string(), nullptr));
    EXPECT_EQ(modeOf(file), 0600u);
    ASSERT_TRUE(LDPrivilegedFileManager::setAttributes({{LDPrivilegedFileManager::posixPermissions, 0640}},
                                                       file.string(), nullptr));
    EXPECT_EQ(modeOf(file), 0640u);
}

TEST_F(LDLaunchCtlTest, PrivilegedCopyChecksItsArgumentsAndCopies)
{
    playUnprivilegedProcess();
    AuthorizationAgent::setPolicy(AuthorizationAnswer::Grant);
    const auto source = testsupport::plantFile(testsupport::homeFolder() / "Documents/tool", "bits");
    const auto target = testsupport::underRoot("/Library/PrivilegedHelperTools");
    Error error;
    EXPECT_FALSE(LDPrivilegedFileManager::copyItem(source.string(), target.string(), false, &error));
    EXPECT_EQ(error, (Error{"com.vorqapps.ldlaunchctl", 1, "there was no folder found at that location"}));
    fs::create_directories(target);
    for (int round = 0; round < 2; ++round) // the fixed label is free again after each copy
        ASSERT_TRUE(LDPrivilegedFileManager::copyItem(source.string(), target.string(), false, nullptr));
    EXPECT_TRUE(fs::exists(target / "tool"));
}

TEST_F(LDLaunchCtlTest, JobsFromFilesSkipWhatCannotBeRead)
{
    const auto folder = LDLaunchDomain::globalLaunchAgent;
    EXPECT_FALSE(LDLaunchCtl::allJobsFromFilesInDomain(folder));
    testsupport::plantFile(fs::path(LDDomainFolder(folder)) / "broken.plist", "not a plist");
    const auto jobs = LDLaunchCtl::allJobsFromFilesInDomain(folder);
    ASSERT_TRUE(jobs);
    EXPECT_TRUE(jobs->empty());
}

TEST_F(LDLaunchCtlTest, JobFromFileIsFoundByItsLabel)
{
    const fs::path plist = fs::path(LDDomainFolder(LDLaunchDomain::userLaunchAgent)) / "other-name.plist";
    ASSERT_TRUE(platform::writePropertyListFile(plist.string(), *sleeper("com.example.named").dictionary()));
    for (const char* name : {"com.example.named", "com.example.named.plist"}) {
        const auto job = LDLaunchCtl::jobFromFileNamed(name, LDLaunchDomain::userLaunchAgent);
        ASSERT_TRUE(job) << name;
        EXPECT_EQ(job->Label(), "com.example.named");
        EXPECT_EQ(job->domain(), LDLaunchDomain::userLaunchAgent);
    }
    EXPECT_FALSE(LDLaunchCtl::jobFromFileNamed("other-name", LDLaunchDomain::userLaunchAgent));
}

TEST_F(LDLaunchCtlTest, StartStopAndRunningJobs)
{
    const fs::path plist = userAgent("com.example.startable");
    ASSERT_TRUE(platform::writePropertyListFile(plist.string(), *sleeper("com.example.startable").dictionary()));
    ASSERT_TRUE(controller.start("com.example.startable", LDLaunchDomain::userLaunchAgent, nullptr));
    Error error;
    EXPECT_FALSE(controller.start("com.example.startable", LDLaunchDomain::userLaunchAgent, &error));
    EXPECT_EQ(error.code, 5);
    const auto running = LDLaunchCtl::runningJobsMatching("STARTABLE", LDLaunchDomain::userLaunchAgent);
    ASSERT_TRUE(running);
    ASSERT_EQ(running->size(), 1u);
    EXPECT_TRUE(controller.restart("com.example.startable", LDLaunchDomain::userLaunchAgent, nullptr));
    EXPECT_TRUE(controller.stop("com.example.startable", LDLaunchDomain::userLaunchAgent, nullptr));
    EXPECT_FALSE(LDLaunchCtl::allRunningJobsInDomain(LDLaunchDomain::userLaunchAgent));
    EXPECT_FALSE(controller.start("com.example.missing", LDLaunchDomain::userLaunchAgent, &error));
    EXPECT_EQ(error.code, 13);
}

TEST_F(LDLaunchCtlTest, SessionAuthorisationIsRefusedOnTheSharedController)
{
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(controller.authorize());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "You cannot create session authorization for the shared controller.\n");
    AuthorizationAgent::setPolicy(AuthorizationAnswer::Grant);
    LDLaunchCtl own;
    EXPECT_TRUE(own.authorize());
}

TEST_F(LDLaunchCtlTest, DefaultPromptNamesTheProcess)
{
    std::string prompt;
    AuthorizationAgent::setPrompt([&](const platform::AuthorizationRequest& request) {
        prompt = request.prompt;
        return AuthorizationAnswer::Deny;
    });
    platform::AuthorizationRef authRef = nullptr;
    EXPECT_EQ(LDAuthorizer::authorizeSystemDaemonWithLabel("com.example.p", "", &authRef), platform::errAuthorizationDenied);
    EXPECT_EQ(prompt, "ldlaunchctl_tests is trying to perform a privileged operation.");
}

} // namespace
