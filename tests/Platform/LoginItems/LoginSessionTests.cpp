// The login step as a desktop session runs it: through its autostart entry.
#include "Platform/LoginItems/AutostartEntry.h"
#include "Platform/LoginItems/FileURL.h"
#include "Platform/LoginItems/SharedFileList.h"
#include "Platform/Launchd/JobRegistry.h"
#include "Platform/Launchd/LaunchdTestFixture.h"
#include "Platform/Root/PlatformRoot.h"
#include "Platform/Tools/ToolProcess.h"
#include "Platform/Values/PropertyList.h"

#include "DesktopSession.h"
#include "FilePermissionsObeyed.h"
#include "TestRoot.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

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

// A tool that records the command it was started with and the root it was given.
fs::path plantRecordingTool(const fs::path& folder)
{
    const fs::path tool = folder / platform::kLoginStepTool;
    testsupport::plantFile(tool,
                           "#!/bin/sh\nprintf '%s|%s' \"$0\" \"$PLATFORM_ROOT\" > \"$(dirname \"$0\")/../ran\"\n");
    fs::permissions(tool, fs::perms(0755));
    return tool;
}

std::string validationOf(const fs::path& entry)
{
    auto validator = platform::ToolProcess::launch("/usr/bin/desktop-file-validate", {entry.string()},
                                                   platform::ToolProcess::Capture::OutputAndError);
    if (!validator)
        return "desktop-file-validate cannot be run (scripts/setup installs it)";
    std::string said = validator->readOutputToEnd();
    return validator->waitForExit() == 0 ? said : "failed: " + said;
}

// The Exec line carries any path: blanks, quotes, "$", "%", backslashes and letters
// beyond ASCII. The entry is valid, and GLib's launcher, GNOME's own, runs the tool.
TEST_F(LoginSession, TheEntryRunsTheToolWhateverItsPathHolds)
{
    const fs::path place = testsupport::platformRootFolder() / "Outils \"$HOME\" 100% `x` back\\slash Jörg";
    const fs::path tool = plantRecordingTool(place / "MacOS");
    ASSERT_TRUE(platform::writeLoginSessionEntry(tool));
    const fs::path entry = platform::loginSessionEntryPath();
    EXPECT_EQ(validationOf(entry), "");
    const mode_t umask = ::umask(0);
    ::umask(umask);
    EXPECT_EQ(fs::status(entry).permissions(), fs::perms(0644 & ~umask));

    auto launcher = platform::ToolProcess::launch("/usr/bin/gio", {"launch", entry.string()},
                                                  platform::ToolProcess::Capture::Nothing);
    ASSERT_TRUE(launcher);
    launcher->waitForExit();
    const std::string expected = tool.string() + "|" + platform::platformRoot();
    EXPECT_TRUE(waitUntil([&] { return testsupport::readFileText(place / "ran") == expected; }))
        << testsupport::readFileText(place / "ran");
}

// No entry is written that would run what another user could change, nor one whose
// path its lines cannot carry; the one there stays as it was. A folder that only the
// user's private group may write (as umask 002 leaves the user's folders) is the
// user's own.
TEST_F(LoginSession, OnlyAToolNoOtherUserCanChangeIsNamed)
{
    const fs::path root = testsupport::platformRootFolder();
    const fs::path shared = root / "shared";
    const fs::path sharedTool = plantRecordingTool(shared);
    fs::permissions(shared, fs::perms(0777));
    const fs::path linked = root / "linked";
    fs::create_directory_symlink(shared, linked);
    const fs::path grouped = root / "grouped";
    const fs::path groupedTool = plantRecordingTool(grouped);
    fs::permissions(grouped, fs::perms(0775));
    ASSERT_EQ(::chown(grouped.c_str(), ::geteuid(), 100), 0); // "users", everyone's
    const std::string before = testsupport::readFileText(platform::loginSessionEntryPath());
    for (const auto& [name, tool] : {std::pair{"a folder others may write", sharedTool},
                                     std::pair{"a link to that folder", linked / platform::kLoginStepTool},
                                     std::pair{"a folder a shared group may write", groupedTool},
                                     std::pair{"a missing tool", root / "gone" / platform::kLoginStepTool},
                                     std::pair{"a line break", plantRecordingTool(root / "line\nbreak")},
                                     std::pair{"bytes that are no UTF-8", plantRecordingTool(root / "J\xf6rg")}}) {
        std::string failure;
        EXPECT_FALSE(platform::writeLoginSessionEntry(tool, &failure)) << name;
        EXPECT_NE(failure.find(tool.string()), std::string::npos) << name << ": " << failure;
        EXPECT_EQ(testsupport::readFileText(platform::loginSessionEntryPath()), before) << name;
    }

    ASSERT_EQ(::chown(grouped.c_str(), ::geteuid(), ::getegid()), 0);
    const passwd* user = ::getpwuid(::geteuid());
    if (const group* own = ::getgrgid(::getegid()); !own || !user || std::string(own->gr_name) != user->pw_name)
        GTEST_SKIP() << "this user has no private group";
    EXPECT_TRUE(platform::writeLoginSessionEntry(groupedTool));
}

// The autostart folder missing is made; a link to a folder elsewhere (the user's
// own arrangement) is followed and kept. A file in its place, or a folder the user
// cannot write, is said so, with the reason, and left as it was.
TEST_F(LoginSession, TheAutostartFolderIsMadeOrFollowedOrItsFaultSaid)
{
    const fs::path tool = fs::path(BG_TEST_TOOLS_DIR) / platform::kLoginStepTool;
    const fs::path folder = platform::loginSessionEntryPath().parent_path();
    const fs::path elsewhere = testsupport::platformRootFolder() / "dotfiles/autostart";
    fs::remove_all(folder);
    EXPECT_TRUE(platform::writeLoginSessionEntry(tool)) << "made";
    fs::remove_all(folder);
    fs::create_directories(elsewhere);
    fs::create_directory_symlink(elsewhere, folder);
    EXPECT_TRUE(platform::writeLoginSessionEntry(tool)) << "followed";
    EXPECT_TRUE(fs::is_symlink(folder));
    EXPECT_EQ(testsupport::execCommandOf(elsewhere / "launchd-login.desktop").back(), tool.string());

    fs::remove(folder);
    testsupport::plantFile(folder, "notes");
    std::string failure;
    EXPECT_FALSE(platform::writeLoginSessionEntry(tool, &failure));
    EXPECT_TRUE(failure.starts_with(folder.string() + ": ")) << failure;
    EXPECT_EQ(testsupport::readFileText(folder), "notes");

    fs::remove(folder);
    fs::create_directory(folder);
    fs::permissions(folder, fs::perms(0555));
    testsupport::FilePermissionsObeyed obeyed;
    ASSERT_TRUE(obeyed.isSet());
    EXPECT_FALSE(platform::writeLoginSessionEntry(tool, &failure));
    EXPECT_EQ(failure, platform::loginSessionEntryPath().string() + ": Permission denied");
    EXPECT_TRUE(fs::is_empty(folder));
}

// The session runs the entry only while its tool is there: once the tool is gone
// (the product removed), a login runs nothing and reports nothing.
TEST_F(LoginSession, ALoginRunsNoEntryWhoseToolIsGone)
{
    const fs::path tool = plantRecordingTool(testsupport::platformRootFolder() / "Tools");
    ASSERT_TRUE(platform::writeLoginSessionEntry(tool));
    EXPECT_EQ(testsupport::runAutostartEntries(), 1);
    fs::remove(tool);
    EXPECT_EQ(testsupport::runAutostartEntries(), 0);
}

// The user turned the entry off in the desktop's settings: a later install keeps it
// off (and up to date). Hidden, the freedesktop Autostart rules' own switch, every
// runner honours: the login runs nothing.
TEST_F(LoginSession, AnEntryTheDesktopSwitchedOffStaysOff)
{
    const fs::path tool = plantRecordingTool(testsupport::platformRootFolder() / "New Tools");
    for (const auto& [written, kept] : {std::pair{"X-GNOME-Autostart-enabled=false", "X-GNOME-Autostart-enabled=false"},
                                        std::pair{"X-MATE-Autostart-enabled = false", "X-MATE-Autostart-enabled=false"},
                                        std::pair{"Hidden=true", "Hidden=true"}}) {
        const fs::path entry = platform::loginSessionEntryPath();
        fs::remove(entry);
        ASSERT_TRUE(platform::writeLoginSessionEntry(fs::path(BG_TEST_TOOLS_DIR) / platform::kLoginStepTool));
        std::string text = testsupport::readFileText(entry); // as the desktop's settings rewrite it
        text.replace(text.find("X-GNOME-Autostart-enabled=true\n"), 31, std::string(written) + "\n");
        testsupport::plantFile(entry, text);

        ASSERT_TRUE(platform::writeLoginSessionEntry(tool)) << written;
        text = testsupport::readFileText(entry);
        EXPECT_NE(text.find("\n" + std::string(kept) + "\n"), std::string::npos) << written << ": " << text;
        EXPECT_EQ(testsupport::execCommandOf(entry).back(), tool.string()) << written;
        EXPECT_EQ(validationOf(entry), "") << written;
    }
    EXPECT_EQ(testsupport::runAutostartEntries(), 0);
    EXPECT_FALSE(fs::exists(tool.parent_path().parent_path() / "ran"));
}

} // namespace
