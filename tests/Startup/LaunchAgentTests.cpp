#include "Startup/LaunchAgent.h"

#include "Helper/LDLaunchCtl/JobPlists.h"
#include "Helper/LDLaunchCtl/LDLaunchCtl.h"
#include "StartupTestWorld.h"

#include <gtest/gtest.h>

namespace {

using platform::Array;
using platform::Dictionary;
using startuptest::host;
using startuptest::plantBundle;
using startuptest::plantPlist;

class LaunchAgentTest : public testsupport::PlatformRootTest {
protected:
    void SetUp() override
    {
        PlatformRootTest::SetUp();
        plantBundle("/Applications/Tool.app", "com.example.tool");
        testsupport::plantFile(testsupport::underRoot("/usr/local/bin/tool"));
    }

    // What a record says of the application behind its job.
    struct Application {
        std::optional<std::string> appPath; // host path
        std::optional<std::string> name;
        std::optional<std::string> company;
        bool isInvalid;
    };
    static void expectApplication(const LaunchAgent& record, const Application& expected, const std::string& what)
    {
        EXPECT_EQ(record.appUrl ? std::optional(record.appUrl->path()) : std::nullopt, expected.appPath) << what;
        EXPECT_EQ(record.name, expected.name) << what;
        EXPECT_EQ(record.company, expected.company) << what;
        EXPECT_EQ(record.isInvalid, expected.isInvalid) << what;
        EXPECT_EQ(record.icon.has_value(), !(expected.appPath && expected.isInvalid)) << what; // a missing file has no icon
    }

    // A job plist in the user's launch agents, and the job read from it.
    static LaunchAgent agent(Dictionary job, const std::string& fileName = "")
    {
        const std::string label = *job.at("Label").asText();
        plantPlist(testsupport::homeFolder() / "Library/LaunchAgents" / (fileName.empty() ? label + ".plist" : fileName), job);
        return LaunchAgent(LDLaunchJob::jobFromDictionary(job, LDLaunchDomain::userLaunchAgent), LDLaunchDomain::userLaunchAgent);
    }
};

TEST_F(LaunchAgentTest, TheApplicationBehindAJob)
{
    struct Case {
        const char* what;
        Dictionary job;
        Application expected;
    };
    const std::string tool = host("/Applications/Tool.app");
    const Case cases[] = {
        {"program inside an application", {{"Program", host("/Applications/Tool.app/Contents/MacOS/Tool")}},
         {tool, "Tool.app", "example", false}},
        {"program outside a bundle", {{"Program", host("/usr/local/bin/tool")}},
         {host("/usr/local/bin/tool"), "tool", std::nullopt, false}},
        {"missing program", {{"Program", host("/usr/local/bin/gone")}},
         {host("/usr/local/bin/gone"), "gone", std::nullopt, true}},
        {"argument naming an application, taken whole", {{"ProgramArguments", Array{"/usr/bin/open", "-a", tool}}},
         {tool, "Tool.app", "example", false}},
        {"first argument naming an existing file", {{"ProgramArguments", Array{"run", host("/usr/local/bin/tool")}}},
         {host("/usr/local/bin/tool"), "tool", std::nullopt, false}},
        {"arguments naming nothing", {{"ProgramArguments", Array{"nothing", "here"}}},
         {std::nullopt, "job", "Unknown", true}},
        {"neither key", {}, {std::nullopt, "job", "Unknown", true}},
    };
    for (auto c : cases) {
        c.job["Label"] = "job";
        const auto record = agent(c.job);
        expectApplication(record, c.expected, c.what);
        EXPECT_FALSE(record.isEnable) << c.what; // not loaded in launchd
        EXPECT_EQ(record.plistName, "job.plist") << c.what;
    }
}

TEST_F(LaunchAgentTest, RecordsOfJobPlistsInTheShapesSeenInTheWild)
{
    for (const char* tool : {"/usr/local/bin/powerhelper", "/usr/local/bin/vpnagent"})
        testsupport::plantFile(testsupport::underRoot(tool));
    struct Case {
        const char* fixture;
        const char* label;
        Application expected;
    };
    const std::string tool = host("/Applications/Tool.app");
    const Case cases[] = {
        {"program-only.plist", "org.example.powerhelper",
         {host("/usr/local/bin/powerhelper"), "powerhelper", std::nullopt, false}},
        {"program-arguments-only.plist", "net.example.vpnagent",
         {host("/usr/local/bin/vpnagent"), "vpnagent", std::nullopt, false}},
        {"program-and-arguments.plist", "com.example.tool.updater", {tool, "Tool.app", "example", false}},
        {"program-with-dictionaries.plist", "org.example.printd",
         {host("/usr/local/sbin/printd"), "printd", std::nullopt, true}},
        {"arguments-with-a-number.plist", "com.example.tool.opener", {tool, "Tool.app", "example", false}},
        {"neither.plist", "org.example.machonly", {std::nullopt, "org.example.machonly", "Unknown", true}},
    };
    const auto folder = testsupport::homeFolder() / "Library/LaunchAgents";
    for (const auto& c : cases)
        jobplists::plant(c.fixture, folder);
    for (const auto& c : cases) {
        const auto job = LDLaunchCtl::jobFromFileNamed(c.label, LDLaunchDomain::userLaunchAgent);
        ASSERT_TRUE(job) << c.fixture;
        const LaunchAgent record(*job, LDLaunchDomain::userLaunchAgent);
        expectApplication(record, c.expected, c.fixture);
        EXPECT_EQ(record.plistName, c.fixture) << c.fixture;
    }
}

TEST_F(LaunchAgentTest, ThePlistIsFoundByTheLabelInsideIt)
{
    testsupport::plantFile(testsupport::homeFolder() / "Library/LaunchAgents/broken.plist", "not a plist");
    const auto found = agent({{"Label", "com.example.job"}, {"Program", "/x"}}, "renamed.txt");
    EXPECT_EQ(found.plistName, "renamed.txt");
    EXPECT_EQ(found.plistPath, (testsupport::homeFolder() / "Library/LaunchAgents/renamed.txt").string());

    const LaunchAgent unplaced(LDLaunchJob::jobFromDictionary({{"Label", "elsewhere"}}, LDLaunchDomain::globalLaunchAgent),
                               LDLaunchDomain::globalLaunchAgent);
    EXPECT_EQ(unplaced.plistName, "");
    EXPECT_EQ(unplaced.plistPath, "");
    const LaunchAgent other(LDLaunchJob::jobFromDictionary({{"Label", "other"}}, LDLaunchDomain::globalLaunchAgent),
                            LDLaunchDomain::globalLaunchAgent);
    EXPECT_TRUE(unplaced == other);
    EXPECT_EQ(std::hash<LaunchAgent>()(unplaced), std::hash<LaunchAgent>()(other));
    EXPECT_FALSE(unplaced == LaunchAgent());
}

TEST_F(LaunchAgentTest, StoredFormRoundTrips)
{
    const auto original = agent({{"Label", "com.example.job"}, {"Program", host("/Applications/Tool.app/Contents/MacOS/Tool")}});
    const Dictionary record = original.record();
    EXPECT_EQ(record, (Dictionary{{"label", "com.example.job"},
                                  {"plistPath", *original.plistPath},
                                  {"ldLaunchDomain", "1"}}));
    const LaunchAgent rebuilt(record);
    EXPECT_TRUE(rebuilt == original);
    EXPECT_EQ(rebuilt.ldLaunchJob->Label(), "com.example.job");
    EXPECT_EQ(rebuilt.appUrl, original.appUrl);
    EXPECT_EQ(rebuilt.record(), record);
    EXPECT_FALSE(rebuilt.isEnable);

    LaunchAgent daemon;
    daemon.ldLaunchDomain = LDLaunchDomain::globalLaunchDaemon;
    EXPECT_EQ(daemon.record(), (Dictionary{{"ldLaunchDomain", "4"}}));
    EXPECT_TRUE(LaunchAgent().record().empty());
}

TEST_F(LaunchAgentTest, StoredFormsOfGoneOrMistypedItems)
{
    const LaunchAgent gone(Dictionary{{"label", "com.example.gone"}, {"plistPath", "/x.plist"}, {"ldLaunchDomain", " 1"}});
    EXPECT_FALSE(gone.ldLaunchJob);
    EXPECT_FALSE(gone.isEnable);
    EXPECT_EQ(gone.name, std::nullopt);
    EXPECT_TRUE(gone.icon);
    EXPECT_EQ(gone.plistName, "");
    EXPECT_TRUE(gone.isInvalid);
    EXPECT_EQ(gone.ldLaunchDomain, LDLaunchDomain::userLaunchAgent);

    const LaunchAgent mistyped(Dictionary{{"label", "com.example.gone"}, {"plistPath", "/x.plist"}, {"ldLaunchDomain", 1}});
    EXPECT_TRUE(mistyped.isEnable);
    EXPECT_FALSE(mistyped.isInvalid);
    EXPECT_EQ(mistyped.company, "Unknown");
    EXPECT_FALSE(mistyped.ldLaunchDomain || mistyped.plistName || mistyped.icon);
}

} // namespace
