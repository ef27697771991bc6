#include "Platform/Launchd/JobRegistry.h"
#include "Platform/Launchd/LaunchdTestFixture.h"
#include "Platform/Launchd/ServiceManagement.h"
#include "Platform/Tools/ToolProcess.h"
#include "Platform/Values/PropertyList.h"
#include "RealUser.h"
#include "TestRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

namespace fs = std::filesystem;
using platform::Array;
using platform::Dictionary;
using platform::LaunchdDomain;

namespace {

class StandInTools : public testsupport::LaunchdTest {
protected:
    static std::pair<int, std::string> run(const std::string& tool, const std::vector<std::string>& arguments)
    {
        auto process = platform::ToolProcess::launch(tool, arguments, platform::ToolProcess::Capture::OutputAndError);
        EXPECT_TRUE(process) << tool;
        if (!process)
            return {-1, {}};
        std::string output = process->readOutputToEnd();
        return {process->waitForExit(), output};
    }

    static std::string plantAgent(const std::string& label, const Dictionary& extra = {})
    {
        Dictionary job{{"Label", label}, {"ProgramArguments", Array{"/bin/sleep", "30"}}, {"RunAtLoad", true}};
        job.insert(extra.begin(), extra.end());
        const auto path = testsupport::homeFolder() / "Library/LaunchAgents" / (label + ".plist");
        EXPECT_TRUE(platform::writePropertyListFile(path.string(), job));
        return path.string();
    }

    // An application bundle whose executable records its PID and idles until stopped.
    static fs::path plantApplication(const std::string& name)
    {
        const fs::path bundle = testsupport::underRoot("/Applications/" + name + ".app");
        fs::create_directories(bundle / "Contents/MacOS");
        EXPECT_TRUE(platform::writePropertyListFile((bundle / "Contents/Info.plist").string(),
                                                    Dictionary{{"CFBundleExecutable", name},
                                                               {"CFBundleIdentifier", "com.example." + name}}));
        const fs::path executable = bundle / "Contents/MacOS" / name;
        std::ofstream(executable) << "#!/bin/sh\necho $$ > \"$0.pid\"\ntrap 'kill $child; exit 0' TERM\n"
                                     "sleep 30 & child=$!\nwait\n";
        fs::permissions(executable, fs::perms::owner_all);
        return bundle;
    }

    static std::optional<long long> pidOf(const fs::path& bundle, const std::string& name)
    {
        std::ifstream file(bundle / "Contents/MacOS" / (name + ".pid"));
        long long pid = 0;
        return file >> pid ? std::optional<long long>(pid) : std::nullopt;
    }

    void TearDown() override
    {
        for (const long long pid : started)
            ::kill(static_cast<pid_t>(pid), SIGTERM);
        LaunchdTest::TearDown();
    }
    std::vector<long long> started;
};

TEST_F(StandInTools, LaunchctlLoadsListsAndUnloadsWithOverrides)
{
    const std::string plist = plantAgent("com.example.tool-agent");
    EXPECT_EQ(run("/bin/launchctl", {"load", plist}).first, 0);
    const auto pid = waitForPID(LaunchdDomain::User, "com.example.tool-agent");
    ASSERT_TRUE(pid);
    const auto [listed, table] = run("/bin/launchctl", {"list"});
    EXPECT_EQ(listed, 0);
    EXPECT_NE(table.find(std::to_string(*pid) + "\t0\tcom.example.tool-agent"), std::string::npos) << table;
    EXPECT_NE(run("/bin/launchctl", {"load", plist}).first, 0); // already loaded

    EXPECT_EQ(run("/bin/launchctl", {"unload", "-w", plist}).first, 0);
    EXPECT_FALSE(processExists(*pid));
    EXPECT_NE(run("/bin/launchctl", {"load", plist}).first, 0); // disabled by the override
    EXPECT_FALSE(platform::SMJobCopyDictionary(LaunchdDomain::User, "com.example.tool-agent"));
    EXPECT_EQ(run("/bin/launchctl", {"load", "-w", plist}).first, 0);
    EXPECT_TRUE(platform::SMJobCopyDictionary(LaunchdDomain::User, "com.example.tool-agent"));
    EXPECT_NE(run("/bin/launchctl", {"unload", testsupport::homeFolder().string() + "/missing.plist"}).first, 0);
}

// A load that cannot keep or start the job exits non-zero with one line that
// names the cause, at each load; once the cause is gone, the load starts the job.
TEST_F(StandInTools, LaunchctlLoadThatCannotKeepTheJobSaysWhyEachTime)
{
    const std::string plist = plantAgent("com.example.tool-agent");
    const auto registry = platform::launchd::JobRegistry::forDomain(LaunchdDomain::User).folder();
    std::optional<testsupport::UnrunnableSupervisor> broken;
    struct Case {
        std::string name;
        std::function<std::string()> breakIt; // the line each load says
        std::function<void()> mendIt;
    };
    for (const auto& [name, breakIt, mendIt] : std::vector<Case>{
             {"registry folder replaced by a file",
              [&] {
                  fs::remove_all(registry);
                  testsupport::plantFile(registry);
                  return "Cannot record the job in \"" + registry.string() + "\": Not a directory";
              },
              [&] { fs::remove(registry); }},
             {"supervisor not runnable",
              [&] {
                  broken.emplace();
                  return "Cannot start the job's supervisor \"" + broken->tool().string() + "\": Permission denied";
              },
              [&] { broken.reset(); }},
         }) {
        const std::string line = plist + ": " + breakIt() + "\n";
        for (int load = 0; load < 2; ++load)
            EXPECT_EQ(run("/bin/launchctl", {"load", plist}), (std::pair<int, std::string>{1, line})) << name;
        mendIt();
        EXPECT_FALSE(platform::SMJobCopyDictionary(LaunchdDomain::User, "com.example.tool-agent")) << name;
        EXPECT_EQ(run("/bin/launchctl", {"load", plist}).first, 0) << name;
        EXPECT_TRUE(waitForPID(LaunchdDomain::User, "com.example.tool-agent")) << name;
        EXPECT_EQ(run("/bin/launchctl", {"unload", plist}).first, 0) << name;
    }
}

// A job is listed as loaded from before its process starts: the job's program
// itself, run at load, finds its label in launchctl's list.
TEST_F(StandInTools, AJobsOwnProcessFindsItListed)
{
    const fs::path program = testsupport::underRoot("/private/tmp/lists-itself");
    const fs::path list = program.string() + ".list";
    testsupport::plantFile(program, "#!/bin/sh\n\"$BG_TOOLS_DIR/launchctl\" list > \"$0.list\"\nexec sleep 30\n");
    fs::permissions(program, fs::perms::owner_all);
    for (int load = 0; load < 5; ++load) {
        fs::remove(list);
        const auto plist = (testsupport::homeFolder() / "Library/LaunchAgents/lists-itself.plist").string();
        ASSERT_TRUE(platform::writePropertyListFile(plist, Dictionary{{"Label", "com.example.lists-itself"},
                                                                      {"ProgramArguments", Array{program.string()}},
                                                                      {"RunAtLoad", true}}));
        ASSERT_EQ(run("/bin/launchctl", {"load", plist}).first, 0);
        ASSERT_TRUE(waitUntil([&] { return testsupport::readFileText(list).ends_with("\n"); }));
        EXPECT_NE(testsupport::readFileText(list).find("\tcom.example.lists-itself\n"), std::string::npos)
            << "load " << load << ":\n" << testsupport::readFileText(list);
        ASSERT_EQ(run("/bin/launchctl", {"unload", plist}).first, 0);
    }
}

TEST_F(StandInTools, LaunchctlRefusesALabelWithAControlCharacter)
{
    const auto plist = testsupport::homeFolder() / "Library/LaunchAgents/two-lines.plist";
    ASSERT_TRUE(platform::writePropertyListFile(
        plist.string(), Dictionary{{"Label", "com.example.first\n123\t0\tcom.example.forged"},
                                   {"ProgramArguments", Array{"/bin/sleep", "30"}}}));
    EXPECT_NE(run("/bin/launchctl", {"load", plist.string()}).first, 0);
    EXPECT_EQ(run("/bin/launchctl", {"list"}), (std::pair<int, std::string>{0, "PID\tStatus\tLabel\n"}));
}

TEST_F(StandInTools, LaunchAgentOpensTheApplicationOnceThroughOpen)
{
    const fs::path bundle = plantApplication("Warden");
    const Dictionary agent{{"Label", "com.example.Warden"},
                           {"ProgramArguments", Array{"/usr/bin/open", "-F", "-g", bundle.string()}},
                           {"KeepAlive", true},
                           {"RunAtLoad", true}};
    ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::User, agent, nullptr, nullptr));
    ASSERT_TRUE(waitUntil([&] { return pidOf(bundle, "Warden").has_value(); }));
    const long long pid = *pidOf(bundle, "Warden");
    started.push_back(pid);
    EXPECT_TRUE(processExists(pid));

    EXPECT_EQ(run("/usr/bin/open", {"-F", "-g", bundle.string()}).first, 0); // already running: no second copy
    EXPECT_EQ(pidOf(bundle, "Warden"), pid);
    EXPECT_NE(run("/usr/bin/open", {testsupport::underRoot("/Applications/None.app").string()}).first, 0);
}

// Installed, the stand-in tools run from the application's bundle, and so does
// launchd's supervisor of the agent's job. The bundle changes while the job runs:
// an update replaces it (the old one moved aside, the new one moved in, the old
// one deleted), or the user moves it into a subfolder or renames it. The
// supervisor still finds "open", at the bundle's path or where its own executable
// now is, and brings the agent back.
TEST_F(StandInTools, AKeptAliveJobFindsItsToolsAfterTheirBundleIsReplacedOrMoved)
{
    const fs::path application = testsupport::underRoot("/Applications/Tools.app");
    const fs::path build(std::getenv("BG_TOOLS_DIR"));
    const auto install = [&](const fs::path& bundle) {
        fs::create_directories(bundle / "Contents/MacOS");
        for (const char* tool : {"launchctl", "launchd-supervisor", "open"})
            fs::copy_file(build / tool, bundle / "Contents/MacOS" / tool);
    };
    struct Case {
        std::string name;
        std::function<fs::path()> change; // where the bundle is afterwards
    };
    for (const auto& [name, change] : std::vector<Case>{
             {"replaced by an update",
              [&] {
                  const fs::path stage = testsupport::underRoot("/Applications/.Tools.app.update");
                  fs::create_directories(stage);
                  fs::rename(application, stage / "old.app");
                  install(stage / "new.app");
                  fs::rename(stage / "new.app", application);
                  fs::remove_all(stage);
                  return application;
              }},
             {"moved into a subfolder",
              [&] {
                  const fs::path moved = testsupport::underRoot("/Applications/Utilities/Tools.app");
                  fs::create_directories(moved.parent_path());
                  fs::rename(application, moved);
                  return moved;
              }},
             {"renamed",
              [&] {
                  const fs::path renamed = testsupport::underRoot("/Applications/Renamed Tools.app");
                  fs::rename(application, renamed);
                  return renamed;
              }},
         }) {
        install(application);
        const fs::path agent = plantApplication("Warden");
        fs::remove(agent / "Contents/MacOS/Warden.pid");
        const auto plist = testsupport::homeFolder() / "Library/LaunchAgents/com.example.Warden.plist";
        ASSERT_TRUE(platform::writePropertyListFile(
            plist.string(), Dictionary{{"Label", "com.example.Warden"},
                                       {"ProgramArguments", Array{"/usr/bin/open", "-F", "-g", agent.string()}},
                                       {"KeepAlive", true},
                                       {"RunAtLoad", true},
                                       {"ThrottleInterval", 1}}));
        ::unsetenv("BG_TOOLS_DIR");
        const auto [loaded, said] =
            run((application / "Contents/MacOS/launchctl").string(), {"load", plist.string()});
        ::setenv("BG_TOOLS_DIR", build.c_str(), 1);
        ASSERT_EQ(loaded, 0) << name << ": " << said;
        ASSERT_TRUE(waitUntil([&] { return pidOf(agent, "Warden").has_value(); })) << name;
        const long long first = *pidOf(agent, "Warden");
        started.push_back(first);

        const fs::path now = change();
        ::kill(static_cast<pid_t>(first), SIGTERM);
        ASSERT_TRUE(waitUntil([&] { return pidOf(agent, "Warden").value_or(first) != first; }))
            << name << ": the agent is back";
        started.push_back(*pidOf(agent, "Warden"));
        EXPECT_TRUE(processExists(started.back())) << name;
        EXPECT_EQ(platform::SMJobCopyDictionary(LaunchdDomain::User, "com.example.Warden")->at("LastExitStatus"),
                  platform::Value(0))
            << name;
        ASSERT_TRUE(platform::SMJobRemove(LaunchdDomain::User, "com.example.Warden", nullptr, true, nullptr));
        ::kill(static_cast<pid_t>(started.back()), SIGTERM); // open started it on its own
        ASSERT_TRUE(waitUntil([&] { return !processExists(started.back()); })) << name;
        fs::remove_all(now);
    }
}

// A user whose job records would be kept where the user may not write is told so.
TEST_F(StandInTools, ALoadWhereTheUserMayNotRecordTheJobSaysPermissionDenied)
{
    const std::string plist = plantAgent("com.example.tool-agent");
    const auto registry = platform::launchd::JobRegistry::forDomain(LaunchdDomain::User).folder();
    fs::remove_all(registry);
    fs::permissions(testsupport::platformRootFolder(), fs::perms(0755));
    const testsupport::RealUserThread user;
    if (!user.isSet())
        GTEST_SKIP() << "playing a user takes root";
    EXPECT_EQ(run("/bin/launchctl", {"load", plist}),
              (std::pair<int, std::string>{
                  1, plist + ": Cannot record the job in \"" + registry.string() + "\": Permission denied\n"}));
}

} // namespace
