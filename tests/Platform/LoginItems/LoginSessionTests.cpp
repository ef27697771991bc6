// The login step as a desktop session runs it: through its autostart entry.
#include "Platform/LoginItems/AutostartEntry.h"
#include "Platform/LoginItems/FileURL.h"
#include "Platform/LoginItems/SharedFileList.h"
#include "Platform/Launchd/JobRegistry.h"
#include "Platform/Launchd/LaunchdTestFixture.h"
#include "Platform/Root/PlatformRoot.h"
#include "Platform/Values/PropertyList.h"

#include "DesktopSession.h"
#include "TestRoot.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;
using platform::Array;
using platform::Dictionary;
using platform::LaunchdDomain;

namespace {

class LoginSession : public testsupport::LaunchdTest {
protected:
    void SetUp() override
    {
        LaunchdTest::SetUp();
        ASSERT_TRUE(platform::writeLoginSessionEntry(fs::path(BG_TEST_TOOLS_DIR) / platform::kLoginStepTool));
    }

    // A job that records the launch event it was started with, then sleeps.
    static void plantJob(const fs::path& folder, const std::string& label, Dictionary keys)
    {
        const std::string record = (testsupport::platformRootFolder() / (label + ".event")).string();
        keys["Label"] = label;
        keys["ProgramArguments"] =
            Array{"/bin/sh", "-c", "echo \"$BG_LAUNCH_EVENT\" > '" + record + "'; exec sleep 60"};
        fs::create_directories(folder);
        ASSERT_TRUE(platform::writePropertyListFile((folder / (label + ".plist")).string(), keys));
    }

    static bool isLoaded(const std::string& label)
    {
        return platform::SMJobCopyDictionary(LaunchdDomain::User, label).has_value();
    }

    const fs::path userAgents = testsupport::homeFolder() / "Library/LaunchAgents";
};

// Every job of the user's domain that runs at load is loaded and runs, but one the
// registry holds disabled; a job that does not run at load stays unloaded.
TEST_F(LoginSession, LoadsTheJobsThatRunAtLoadSaveTheDisabledOnes)
{
    plantJob(userAgents, "com.example.runs", {{"RunAtLoad", true}});
    plantJob(userAgents, "com.example.kept", {{"KeepAlive", true}});
    plantJob(userAgents, "com.example.idle", {{"StartInterval", 3600}});
    plantJob(userAgents, "com.example.disabled", {{"RunAtLoad", true}});
    plantJob(platform::hostPath("/Library/LaunchAgents"), "com.example.everyone", {{"RunAtLoad", true}});
    platform::launchd::JobRegistry::forDomain(LaunchdDomain::User).setDisabledOverride("com.example.disabled", true);
    ::setenv("BG_LAUNCH_EVENT", "lgit", 1); // a session's own, no job's
    EXPECT_EQ(testsupport::runAutostartEntries(), 1);
    ::unsetenv("BG_LAUNCH_EVENT");

    for (const char* label : {"com.example.runs", "com.example.kept", "com.example.everyone"}) {
        EXPECT_TRUE(waitForPID(LaunchdDomain::User, label)) << label << " runs";
        EXPECT_TRUE(waitUntil([&] {
            return testsupport::readFileText(testsupport::platformRootFolder() / (std::string(label) + ".event")) == "\n";
        })) << label << " was started as a job, not as a login item";
    }
    for (const char* label : {"com.example.idle", "com.example.disabled"})
        EXPECT_FALSE(isLoaded(label)) << label;
}

// A second run in the same session leaves the running jobs alone; after a logout,
// which ends them and their supervisors, the next login starts them again.
TEST_F(LoginSession, TheNextLoginAfterALogoutStartsTheJobsAgain)
{
    plantJob(userAgents, "com.example.kept", {{"KeepAlive", true}});
    testsupport::runAutostartEntries();
    const auto first = waitForPID(LaunchdDomain::User, "com.example.kept");
    ASSERT_TRUE(first);
    testsupport::runAutostartEntries();
    EXPECT_EQ(waitForPID(LaunchdDomain::User, "com.example.kept"), first) << "the job runs on as it was";

    testsupport::endSessionProcesses();
    EXPECT_FALSE(isLoaded("com.example.kept")) << "nothing runs the job until the next login";
    testsupport::runAutostartEntries();
    const auto next = waitForPID(LaunchdDomain::User, "com.example.kept", *first);
    ASSERT_TRUE(next);
    EXPECT_NE(*next, *first);
}

// Each session login item opens as launched at login.
TEST_F(LoginSession, OpensTheSessionLoginItemsAsLaunchedAtLogin)
{
    const fs::path bundle = testsupport::underRoot("/Applications/Note Taker.app");
    const fs::path record = testsupport::platformRootFolder() / "opened.event";
    fs::create_directories(bundle / "Contents");
    ASSERT_TRUE(platform::writePropertyListFile((bundle / "Contents/Info.plist").string(),
                                                Dictionary{{"CFBundleIdentifier", "com.example.notes"},
                                                           {"CFBundleExecutable", "notes"}}));
    testsupport::plantFile(bundle / "Contents/MacOS/notes",
                           "#!/bin/sh\necho \"$BG_LAUNCH_EVENT\" > '" + record.string() + "'\n");
    fs::permissions(bundle / "Contents/MacOS/notes", fs::perms::owner_all);
    ASSERT_TRUE(platform::SharedFileList::sessionLoginItems()->insertURL(
        platform::FileURL::fromPath(bundle.string()).absoluteString(), std::nullopt));

    testsupport::runAutostartEntries();
    EXPECT_TRUE(waitUntil([&] { return testsupport::readFileText(record) == "lgit\n"; }));
}

// The Exec line carries any path: blanks, quotes, "$", "%" and backslashes.
TEST_F(LoginSession, TheEntryRunsTheToolWhateverItsPathHolds)
{
    const fs::path tool = testsupport::platformRootFolder() / "Tools \"$HOME\" 100% `x` back\\slash" / "launchd-login";
    ASSERT_TRUE(platform::writeLoginSessionEntry(tool));
    EXPECT_EQ(testsupport::execCommandOf(platform::loginSessionEntryPath()),
              (std::vector<std::string>{"/usr/bin/env", "PLATFORM_ROOT=" + platform::platformRoot(), tool.string()}));
    EXPECT_FALSE(platform::writeLoginSessionEntry(testsupport::platformRootFolder() / "line\nbreak"));
}

} // namespace
