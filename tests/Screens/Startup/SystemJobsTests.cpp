#include "Helper/LDLaunchCtl/LDLaunchJob.h"
#include "Platform/Authorization/AuthorizationAgent.h"
#include "Platform/Authorization/Elevation.h"
#include "Platform/Authorization/ProcessUser.h"
#include "Platform/Launchd/JobRegistry.h"
#include "Platform/Launchd/LaunchdTestFixture.h"
#include "Platform/Launchd/ServiceManagement.h"
#include "Platform/Tools/ToolPaths.h"
#include "Platform/Tools/ToolProcess.h"
#include "Platform/Values/PropertyList.h"
#include "RealUser.h"
#include "Screens/Manage/StartupItemSwitch.h"
#include "Startup/LaunchAgent.h"
#include "Startup/StartupItemRemoval.h"
#include "StartupTestWorld.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using platform::Array;
using platform::Dictionary;
using platform::LaunchdDomain;
using platform::launchd::JobRegistry;

constexpr const char* kLabel = "com.example.sleepd";

// A daemon of root's in /Library/LaunchDaemons, loaded under a supervisor of root's,
// and a test thread that turns into a real user (not root) to switch and delete it.
class SystemJobsTest : public testsupport::LaunchdTest {
protected:
    void SetUp() override
    {
        LaunchdTest::SetUp();
        fs::permissions(testsupport::platformRootFolder(), fs::perms(0755)); // others may enter, as "/"
        fs::create_directories(registry().folder());
        plist = testsupport::underRoot("/Library/LaunchDaemons") / (std::string(kLabel) + ".plist");
        startuptest::plantPlist(plist, daemon());
        ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::System, daemon(), nullptr, nullptr));
        testsupport::RealUserThread::giveToUser(testsupport::homeFolder());
        platform::AuthorizationAgent::setPolicy(platform::AuthorizationAnswer::Grant);
    }
    void TearDown() override
    {
        fs::permissions(testsupport::platformRootFolder(), fs::perms::owner_all);
        LaunchdTest::TearDown();
    }

    static Dictionary daemon()
    {
        return {{"Label", kLabel}, {"ProgramArguments", Array{"/bin/sleep", "30"}}, {"RunAtLoad", true}};
    }
    static JobRegistry registry() { return JobRegistry::forDomain(LaunchdDomain::System); }
    static LaunchAgent listedDaemon()
    {
        return LaunchAgent(LDLaunchJob::jobFromDictionary(daemon(), LDLaunchDomain::globalLaunchDaemon),
                           LDLaunchDomain::globalLaunchDaemon);
    }
    static bool isLoaded() { return platform::SMJobCopyDictionary(LaunchdDomain::System, kLabel).has_value(); }
    static std::string launchctl() { return fs::canonical(platform::resolveToolPath("/bin/launchctl")).string(); }

    // The owner of a running process; -1 when there is none.
    static long long ownerOf(std::optional<std::int64_t> pid)
    {
        struct stat info {};
        return pid && ::stat(("/proc/" + std::to_string(*pid)).c_str(), &info) == 0 ? info.st_uid : -1;
    }

    fs::path plist;
};

// The user's rights cannot change the system domain: each step goes through the
// elevation tool, and the daemon it loads runs as root under a supervisor of root's.
TEST_F(SystemJobsTest, ADaemonIsSwitchedOffOnAndDeletedThroughTheElevationTool)
{
    testsupport::SetuidElevation elevation;
    int asked = 0;
    platform::AuthorizationAgent::setPrompt([&](const platform::AuthorizationRequest&) {
        ++asked;
        return platform::AuthorizationAnswer::Grant;
    });
    LaunchAgent agent = listedDaemon();
    testsupport::RealUserThread user;
    if (!user.isSet() || !elevation.raisesThisThread())
        GTEST_SKIP() << "this process cannot take a user's rights and raise them again";
    ASSERT_NE(platform::processUserID(), 0u);
    ASSERT_FALSE(platform::userMayWrite(registry().folder().string()));

    const SwitchResult off = switchStartupItem(agent, false);
    EXPECT_EQ(off.outcome, SwitchResult::done) << off.reason;
    EXPECT_FALSE(isLoaded());
    EXPECT_EQ(registry().disabledOverride(kLabel), true);
    EXPECT_EQ(elevation.recordedCommand(), (std::vector<std::string>{launchctl(), "unload", "-w", plist.string()}));

    const SwitchResult on = switchStartupItem(agent, true);
    EXPECT_EQ(on.outcome, SwitchResult::done) << on.reason;
    EXPECT_EQ(elevation.recordedCommand(), (std::vector<std::string>{launchctl(), "load", "-w", plist.string()}));
    EXPECT_EQ(registry().disabledOverride(kLabel), false);
    const auto pid = waitForPID(LaunchdDomain::System, kLabel);
    const auto record = registry().read(kLabel);
    ASSERT_TRUE(pid && record);
    EXPECT_EQ(ownerOf(pid), 0);
    EXPECT_EQ(ownerOf(record->supervisorPid), 0);

    std::string failure;
    EXPECT_EQ(removeStartupItem(agent, &failure), RemovalOutcome::removed) << failure;
    EXPECT_EQ(elevation.recordedCommand(),
              (std::vector<std::string>{launchctl(), "unload", "-w", "--delete", plist.string()}));
    EXPECT_FALSE(isLoaded());
    EXPECT_FALSE(fs::exists(plist));
    EXPECT_EQ(asked, 3) << "one dialog a step";
}

// A global agent runs in the user's own domain, so it is switched with the user's
// rights; its plist of root's is deleted by the privileged remover.
TEST_F(SystemJobsTest, AGlobalAgentsPlistIsDeletedThroughThePrivilegedRemover)
{
    const Dictionary agentJob{{"Label", "com.example.global"}, {"ProgramArguments", Array{"/bin/sleep", "30"}}};
    const fs::path agentPlist = startuptest::plantPlist(testsupport::underRoot("/Library/LaunchAgents/global.plist"), agentJob);
    ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::User, agentJob, nullptr, nullptr));
    testsupport::RealUserThread::giveToUser(JobRegistry::forDomain(LaunchdDomain::User).folder()); // the user's own
    LaunchAgent agent(LDLaunchJob::jobFromDictionary(agentJob, LDLaunchDomain::globalLaunchAgent),
                      LDLaunchDomain::globalLaunchAgent);
    testsupport::SetuidElevation elevation;
    testsupport::RealUserThread user;
    if (!user.isSet() || !elevation.raisesThisThread())
        GTEST_SKIP() << "this process cannot take a user's rights and raise them again";

    std::string failure;
    EXPECT_EQ(removeStartupItem(agent, &failure), RemovalOutcome::removed) << failure;
    EXPECT_FALSE(platform::SMJobCopyDictionary(LaunchdDomain::User, "com.example.global"));
    EXPECT_FALSE(fs::exists(agentPlist));
    const std::string remover = fs::canonical(platform::resolveToolPath(platform::kPrivilegedRemoveTool)).string();
    EXPECT_EQ(elevation.recordedCommand(), (std::vector<std::string>{remover, "remove", agentPlist.string()}));
}

// Run as root for the user, launchctl takes only a plist of a system job folder that
// nobody but root can change, reached without following links: nothing else is loaded.
TEST_F(SystemJobsTest, TheRootRunLaunchctlRefusesEveryOtherPlist)
{
    const fs::path ran = testsupport::underRoot("/private/tmp/evil-ran");
    const Dictionary evil{{"Label", "com.example.evil"},
                          {"ProgramArguments", Array{"/usr/bin/touch", ran.string()}},
                          {"RunAtLoad", true}};
    const fs::path home = testsupport::homeFolder();
    const fs::path usersAgent = startuptest::plantPlist(home / "Library/LaunchAgents/evil.plist", evil);
    const fs::path usersDaemon = startuptest::plantPlist(home / "Library/LaunchDaemons/evil.plist", evil);
    const fs::path linked = plist.parent_path() / "linked.plist";
    fs::create_symlink(usersAgent, linked);
    fs::create_directories(testsupport::underRoot("/System/Library"));
    fs::create_directory_symlink(usersDaemon.parent_path(), testsupport::underRoot("/System/Library/LaunchDaemons"));
    testsupport::RealUserThread::giveToUser(home);
    testsupport::SetuidElevation elevation;
    testsupport::RealUserThread user;
    if (!user.isSet() || !elevation.raisesThisThread())
        GTEST_SKIP() << "this process cannot take a user's rights and raise them again";

    const std::string root = testsupport::platformRootFolder().string();
    for (const std::string& path :
         {usersAgent.string(), usersDaemon.string(), linked.string(), root + "/System/Library/LaunchDaemons/evil.plist",
          std::string("Library/LaunchDaemons/com.example.sleepd.plist"),
          root + "/Library/LaunchDaemons/../../Users/evil.plist"}) {
        for (const char* command : {"load", "unload"}) {
            auto tool = platform::ToolProcess::launch(elevation.path().string(), {launchctl(), command, "-w", path},
                                                      platform::ToolProcess::Capture::OutputAndError);
            ASSERT_TRUE(tool);
            const std::string said = tool->readOutputToEnd();
            EXPECT_EQ(tool->waitForExit(), 2) << path << ": " << said;
            EXPECT_TRUE(said.starts_with("launchctl: ")) << said;
        }
    }
    // Nor is a registry written that the user could redirect.
    const fs::path states = registry().folder().parent_path();
    ASSERT_EQ(::syscall(SYS_setresuid, 0, 0, 0), 0); // root again, for a moment
    ::chown(states.c_str(), testsupport::RealUserThread::kUser, testsupport::RealUserThread::kUser);
    ASSERT_EQ(::syscall(SYS_setresuid, testsupport::RealUserThread::kUser, testsupport::RealUserThread::kUser, 0), 0);
    auto tool = platform::ToolProcess::launch(elevation.path().string(), {launchctl(), "unload", "-w", plist.string()},
                                              platform::ToolProcess::Capture::OutputAndError);
    ASSERT_TRUE(tool);
    EXPECT_EQ(tool->readOutputToEnd(), "launchctl: \"" + registry().folder().string() +
                                           "\" is not a folder only root can change\n");
    EXPECT_EQ(tool->waitForExit(), 2);
    EXPECT_EQ(platform::SMCopyAllJobDictionaries(LaunchdDomain::System).size(), 1u);
    EXPECT_FALSE(fs::exists(ran));
    EXPECT_TRUE(fs::exists(usersAgent));
    EXPECT_TRUE(isLoaded());
}

// Daemons switched on by the user through the elevation tool, each from its own plist
// of root's; their processes run as the plist says, and none runs the user's code as root.
class DaemonUsersTest : public SystemJobsTest {
protected:
    static std::string usersName() { return ::getpwuid(testsupport::RealUserThread::kUser)->pw_name; }

    // A plist of root's in /Library/LaunchDaemons for the job, listed as the screen lists it.
    static LaunchAgent plantDaemon(Dictionary job)
    {
        job["RunAtLoad"] = true;
        const std::string label = *job["Label"].asText();
        startuptest::plantPlist(testsupport::underRoot("/Library/LaunchDaemons") / (label + ".plist"), job);
        return LaunchAgent(LDLaunchJob::jobFromDictionary(job, LDLaunchDomain::globalLaunchDaemon),
                           LDLaunchDomain::globalLaunchDaemon);
    }

    // A script in the user's home, the user's own, that leaves `trace` and sleeps.
    static fs::path usersScript(const fs::path& trace)
    {
        const fs::path script = testsupport::homeFolder() / "bin/svc.sh";
        fs::create_directories(script.parent_path());
        std::ofstream(script) << "#!/bin/sh\n/usr/bin/touch '" << trace.string() << "'\nexec /usr/bin/sleep 30\n";
        fs::permissions(script, fs::perms(0755));
        testsupport::RealUserThread::giveToUser(testsupport::homeFolder());
        return script;
    }

    // A bundle of root's in /Applications whose executable is a link of root's to `executable`.
    static fs::path plantBundle(const std::string& name, const fs::path& executable)
    {
        const fs::path bundle = testsupport::underRoot("/Applications/" + name + ".app");
        fs::create_directories(bundle / "Contents/MacOS");
        EXPECT_TRUE(platform::writePropertyListFile((bundle / "Contents/Info.plist").string(),
                                                    Dictionary{{"CFBundleExecutable", name}}));
        fs::create_symlink(executable, bundle / "Contents/MacOS" / name);
        return bundle;
    }

    // The "Uid:", "Gid:" and "Groups:" lines of a running process.
    static std::vector<std::string> identityOf(long long pid)
    {
        std::vector<std::string> lines;
        std::ifstream status("/proc/" + std::to_string(pid) + "/status");
        for (std::string line; std::getline(status, line);)
            if (line.starts_with("Uid:") || line.starts_with("Gid:") || line.starts_with("Groups:"))
                lines.push_back(line);
        return lines;
    }
};

TEST_F(DaemonUsersTest, ADaemonRunsAsItsUserNameWithItsGroups)
{
    const fs::path trace = testsupport::homeFolder() / "ran";
    LaunchAgent agent = plantDaemon({{"Label", "com.example.asuser"},
                                     {"Program", usersScript(trace).string()},
                                     {"UserName", usersName()},
                                     {"InitGroups", true}});
    testsupport::SetuidElevation elevation;
    testsupport::RealUserThread user;
    if (!user.isSet() || !elevation.raisesThisThread())
        GTEST_SKIP() << "this process cannot take a user's rights and raise them again";

    const SwitchResult on = switchStartupItem(agent, true);
    EXPECT_EQ(on.outcome, SwitchResult::done) << on.reason;
    const auto pid = waitForPID(LaunchdDomain::System, "com.example.asuser");
    ASSERT_TRUE(pid);
    const std::string id = std::to_string(testsupport::RealUserThread::kUser);
    EXPECT_EQ(identityOf(*pid), (std::vector<std::string>{"Uid:\t" + id + "\t" + id + "\t" + id + "\t" + id,
                                                          "Gid:\t" + id + "\t" + id + "\t" + id + "\t" + id,
                                                          "Groups:\t" + id + " "}));
    EXPECT_EQ(ownerOf(registry().read("com.example.asuser")->supervisorPid), 0);
}

TEST_F(DaemonUsersTest, ADaemonWhoseUserNameNamesNoUserFailsToLoadAndSaysWhy)
{
    LaunchAgent agent = plantDaemon({{"Label", "com.example.nobodyknown"},
                                     {"ProgramArguments", Array{"/usr/bin/sleep", "30"}},
                                     {"UserName", "bg-no-such-user"}});
    testsupport::SetuidElevation elevation;
    testsupport::RealUserThread user;
    if (!user.isSet() || !elevation.raisesThisThread())
        GTEST_SKIP() << "this process cannot take a user's rights and raise them again";

    const SwitchResult on = switchStartupItem(agent, true);
    EXPECT_EQ(on.outcome, SwitchResult::failed);
    EXPECT_NE(on.reason.find("UserName \"bg-no-such-user\" names no user"), std::string::npos) << on.reason;
    EXPECT_FALSE(platform::SMJobCopyDictionary(LaunchdDomain::System, "com.example.nobodyknown"));
}

// Run as root, the user's script would be root's code that the user can rewrite while
// the password is asked: the load is refused, whether it is named directly or through
// a link of the user's, and nothing of it runs.
TEST_F(DaemonUsersTest, ARootDaemonWhoseProgramTheUserCanChangeIsRefused)
{
    const fs::path trace = testsupport::underRoot("/private/tmp/root-ran");
    fs::create_directories(trace.parent_path());
    const fs::path script = usersScript(trace);
    const fs::path linked = testsupport::homeFolder() / "bin/sleep";
    fs::create_symlink("/usr/bin/sleep", linked);
    std::vector<LaunchAgent> daemons{
        plantDaemon({{"Label", "com.example.usersprogram"}, {"Program", script.string()}}),
        plantDaemon({{"Label", "com.example.usersargument"}, {"ProgramArguments", Array{script.string(), "-x"}}}),
        plantDaemon({{"Label", "com.example.userslink"}, {"ProgramArguments", Array{linked.string(), "30"}}}),
        plantDaemon({{"Label", "com.example.asroot"}, {"Program", script.string()}, {"UserName", "root"}}),
    };
    testsupport::SetuidElevation elevation;
    testsupport::RealUserThread user;
    if (!user.isSet() || !elevation.raisesThisThread())
        GTEST_SKIP() << "this process cannot take a user's rights and raise them again";

    for (auto& daemon : daemons) {
        const SwitchResult on = switchStartupItem(daemon, true);
        EXPECT_EQ(on.outcome, SwitchResult::failed) << daemon.label().value_or("");
        EXPECT_NE(on.reason.find("is not a program only root can change"), std::string::npos) << on.reason;
        EXPECT_FALSE(platform::SMJobCopyDictionary(LaunchdDomain::System, daemon.label().value_or("")));
    }
    EXPECT_FALSE(fs::exists(trace));
}

// A root daemon of root's program is judged by every path it hands its process too:
// an argument (absolute, or relative from "/"; of a bundle, also its Info.plist and
// executable), its WorkingDirectory, RootDirectory or StandardInPath that the user
// could change, or make where it names nothing, refuses the load with one line; what
// only root can change (a device of root's among them), inline shell text and the
// output paths (written, never run) load and run as root.
TEST_F(DaemonUsersTest, ARootDaemonIsRefusedEveryPathTheUserCanChange)
{
    const fs::path trace = testsupport::underRoot("/private/tmp/root-ran");
    fs::create_directories(trace.parent_path());
    const fs::path script = usersScript(trace);
    const fs::path usersLink = testsupport::homeFolder() / "bin/sleeper.sh";
    const fs::path rootsScript = testsupport::underRoot("/usr/libexec/sleeper.sh");
    fs::create_directories(rootsScript.parent_path());
    std::ofstream(rootsScript) << "#!/bin/sh\nexec /usr/bin/sleep 30\n";
    fs::create_symlink(rootsScript, usersLink);
    testsupport::RealUserThread::giveToUser(testsupport::homeFolder());
    const std::string home = testsupport::homeFolder().string();
    const fs::path rootsBundle = plantBundle("Roots", rootsScript);
    const fs::path linkedBundle = plantBundle("Linked", script);
    const fs::path usersInfoBundle = plantBundle("UsersInfo", rootsScript);
    const fs::path usersInfo = usersInfoBundle / "Contents/Info.plist";
    ASSERT_EQ(::chown(usersInfo.c_str(), testsupport::RealUserThread::kUser, testsupport::RealUserThread::kUser), 0);
    struct Case {
        const char* label;
        Dictionary job;
        std::string refusedPath; // empty: it runs as root
    };
    const Case cases[] = {
        {"com.example.script", {{"ProgramArguments", Array{"/bin/sh", script.string()}}}, script.string()},
        {"com.example.relative", {{"ProgramArguments", Array{"/bin/sh", script.relative_path().string()}}},
         script.relative_path().string()},
        {"com.example.folder", {{"ProgramArguments", Array{"/usr/bin/find", home, "-delete"}}}, home},
        {"com.example.later", {{"ProgramArguments", Array{"/bin/sh", home + "/bin/later.sh"}}}, home + "/bin/later.sh"},
        {"com.example.link", {{"ProgramArguments", Array{"/bin/sh", usersLink.string()}}}, usersLink.string()},
        {"com.example.workdir",
         {{"ProgramArguments", Array{"/usr/bin/sleep", "30"}}, {"WorkingDirectory", home}},
         home},
        {"com.example.rootdir", {{"ProgramArguments", Array{"/usr/bin/sleep", "30"}}, {"RootDirectory", home}}, home},
        {"com.example.stdin",
         {{"ProgramArguments", Array{"/usr/bin/sleep", "30"}}, {"StandardInPath", script.string()}},
         script.string()},
        {"com.example.linkedbundle",
         {{"ProgramArguments", Array{"/usr/bin/open", linkedBundle.string()}}},
         (linkedBundle / "Contents/MacOS/Linked").string()},
        {"com.example.usersinfo", {{"ProgramArguments", Array{"/usr/bin/open", usersInfoBundle.string()}}},
         usersInfo.string()},
        {"com.example.rootsscript", {{"ProgramArguments", Array{"/bin/sh", rootsScript.string()}}}, ""},
        {"com.example.rootsbundle",
         {{"ProgramArguments", Array{"/bin/sh", "-c", "exec /usr/bin/sleep 30", rootsBundle.string()}}},
         ""},
        {"com.example.inline",
         {{"ProgramArguments",
           Array{"/bin/sh", "-c", "exec /usr/bin/sleep 30 # " + std::string(300, 'x'), "-", "/usr/bin/missing"}}},
         ""},
        {"com.example.device",
         {{"ProgramArguments", Array{"/usr/bin/sleep", "30"}}, {"StandardInPath", "/dev/null"}},
         ""},
        {"com.example.output",
         {{"ProgramArguments", Array{"/usr/bin/sleep", "30"}},
          {"StandardOutPath", home + "/out.log"},
          {"StandardErrorPath", home + "/err.log"}},
         ""},
    };
    std::vector<LaunchAgent> daemons;
    for (const Case& each : cases) {
        Dictionary job = each.job;
        job["Label"] = each.label;
        daemons.push_back(plantDaemon(job));
    }
    testsupport::SetuidElevation elevation;
    testsupport::RealUserThread user;
    if (!user.isSet() || !elevation.raisesThisThread())
        GTEST_SKIP() << "this process cannot take a user's rights and raise them again";

    for (std::size_t index = 0; index < daemons.size(); ++index) {
        const Case& each = cases[index];
        SCOPED_TRACE(each.label);
        const SwitchResult on = switchStartupItem(daemons[index], true);
        if (each.refusedPath.empty()) {
            EXPECT_EQ(on.outcome, SwitchResult::done) << on.reason;
            const auto pid = waitForPID(LaunchdDomain::System, each.label);
            EXPECT_EQ(ownerOf(pid), 0);
            continue;
        }
        EXPECT_EQ(on.outcome, SwitchResult::failed);
        EXPECT_EQ(on.reason, "\"" + each.refusedPath + "\" is not a path only root can change, and the job would "
                                                        "hand it to a process of root's");
        EXPECT_FALSE(platform::SMJobCopyDictionary(LaunchdDomain::System, each.label));
    }
    EXPECT_FALSE(fs::exists(trace));
}

// The raised launchctl takes neither the caller's folder nor its file mode mask: a
// job of root's runs in "/" with the mask 022, as launchd's own, and the registry
// it makes for a platform root of its own is root's alone.
TEST_F(DaemonUsersTest, ARootDaemonRunsInRootsFolderWithRootsModeMask)
{
    const fs::path trace = testsupport::underRoot("/private/var/run/where");
    fs::create_directories(trace.parent_path());
    const fs::path freshRoot = testsupport::underRoot("/private/var/fresh-root");
    const fs::path daemonPlist = startuptest::plantPlist(
        freshRoot / "Library/LaunchDaemons/com.example.where.plist",
        Dictionary{{"Label", "com.example.where"},
                   {"ProgramArguments", Array{"/bin/sh", "-c", "{ pwd; umask; } > \"$0\"", trace.string()}},
                   {"RunAtLoad", true}});
    const fs::path callersFolder = testsupport::homeFolder() / "bin";
    fs::create_directories(callersFolder);
    testsupport::RealUserThread::giveToUser(testsupport::homeFolder());
    testsupport::SetuidElevation elevation;
    testsupport::RealUserThread user;
    if (!user.isSet() || !elevation.raisesThisThread())
        GTEST_SKIP() << "this process cannot take a user's rights and raise them again";

    auto tool = platform::ToolProcess::launch(
        "/bin/sh",
        {"-c", "cd \"$0\" && umask 0 && exec \"$@\"", callersFolder.string(), elevation.path().string(), launchctl(),
         "load", "-w", daemonPlist.string()},
        platform::ToolProcess::Capture::OutputAndError);
    ASSERT_TRUE(tool);
    EXPECT_EQ(tool->readOutputToEnd(), "");
    EXPECT_EQ(tool->waitForExit(), 0);
    platform::dispatch::runMainLoopUntil([&] { return std::ranges::count(testsupport::readFileText(trace), '\n') == 2; },
                                        std::chrono::seconds(10));
    EXPECT_EQ(testsupport::readFileText(trace), "/\n0022\n");
    const fs::path freshRegistry = freshRoot / registry().folder().lexically_relative(testsupport::platformRootFolder());
    EXPECT_TRUE(platform::onlyRootCanChange(freshRegistry.string())) << freshRegistry;
}

// With no elevation tool on the system nothing runs as root: the switch and the
// deletion fail, and say that an administrator's rights are needed.
TEST_F(SystemJobsTest, WithoutAnElevationToolTheStepsSayAnAdministratorsRightsAreNeeded)
{
    if (platform::elevationToolPath())
        GTEST_SKIP() << "this system has an elevation tool";
    LaunchAgent agent = listedDaemon();
    testsupport::RealUserThread user;
    if (!user.isSet())
        GTEST_SKIP() << "this process cannot take a user's rights";

    const SwitchResult off = switchStartupItem(agent, false);
    EXPECT_EQ(off.outcome, SwitchResult::failed);
    EXPECT_EQ(off.reason, platform::administratorRightsNeededText());
    std::string failure;
    EXPECT_EQ(removeStartupItem(agent, &failure), RemovalOutcome::notRemoved);
    EXPECT_NE(failure.find(platform::administratorRightsNeededText()), std::string::npos) << failure;
    EXPECT_TRUE(isLoaded());
    EXPECT_TRUE(fs::exists(plist));
}

} // namespace
