#include "Foundation/ProtectedPaths.h"
#include "Foundation/UserPaths.h"
#include "Platform/Root/PlatformRoot.h"
#include "TestRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// A folder beside the platform root, made and removed by the test.
class ProtectedPaths : public testsupport::PlatformRootTest {
protected:
    void SetUp() override
    {
        PlatformRootTest::SetUp();
        home = testsupport::homeFolder();
        fs::create_directories(outside);
        fs::create_directory_symlink(outside, home / "Downloads/outside");
        fs::create_directory_symlink(home, home / "Downloads/home");
        fs::create_directory_symlink(home / "Documents", home / "Desktop/documents");
    }

    void TearDown() override { fs::remove_all(outside); }

    fs::path home;
    fs::path outside = testsupport::platformRootFolder().string() + "-outside";
};

TEST_F(ProtectedPaths, JudgesEachFormOfAPath)
{
    const auto user = [&](const std::string& tail) { return (home / tail).string(); };
    const struct {
        std::string path;
        bool isProtected;
    } cases[] = {
        {"/", true},
        {platform::platformRoot(), true},
        {platform::platformRoot() + "/", true},
        {platform::hostPath("/Users"), true},
        {home.string(), true},
        {home.string() + "/", true},
        {user("."), true},
        {platform::hostPath("/Library"), true},
        {platform::hostPath("/Applications"), true},
        {platform::hostPath("/System"), true},
        {user("Library"), true},
        {user("Library/Keychains"), true},
        {user("Library/LaunchAgents/"), true},
        {user("Library/Caches"), true},
        {user("Documents"), true},
        {user("Desktop/documents"), true},        // a link to a protected folder
        {user("Downloads/home"), true},           // a link to the home folder
        {user("Downloads/outside"), true},        // a link that leaves the root
        {user("Downloads/outside/victim.txt"), true},
        {user("Downloads/../Documents/x"), true}, // ".." is refused whatever it names
        {(outside / "victim.txt").string(), true},
        {"Users/x", true},
        {supportFolderPath(), true},
        {user("Downloads/Setup.app"), false},
        {user("Documents/report.txt"), false},
        {user("Desktop/documents/report.txt"), false},
        {user("Library/LaunchAgents/com.qlorvex.plist"), false},
        {user("Library/Application Support/Qlorvex"), false},
        {user("Library/Application Support/Qlorvex/"), false},
        {platform::hostPath("/Applications/Qlorvex.app"), false},
        {platform::hostPath("/Library/LaunchDaemons/com.qlorvex.helper.plist"), false},
    };
    const ProtectedFolders resolvedOnce;
    for (const auto& [path, isProtected] : cases) {
        EXPECT_EQ(isProtectedPath(path), isProtected) << path;
        EXPECT_EQ(resolvedOnce.protects(path), isProtected) << path;
    }
}

// The judgement of a path found on disk, made with the protected folders resolved
// before any of the paths existed: each path is resolved when it is judged, so a
// link made since is judged by where it leads.
TEST_F(ProtectedPaths, JudgesAnExistingPathWhereItLeadsNow)
{
    const ProtectedFolders resolvedFirst;
    const auto made = [&](const std::string& tail) {
        fs::create_directories((home / tail).parent_path());
        std::ofstream(home / tail) << "x";
        return (home / tail).string();
    };
    const auto linked = [&](const std::string& tail, const fs::path& target) {
        fs::create_symlink(target, home / tail);
        return (home / tail).string();
    };
    const struct {
        std::string path;
        bool standsUnprotected;
    } cases[] = {
        {made("Library/Preferences/com.qlorvex.plist"), true},
        {made("Documents/report.txt"), true},
        {home.string() + "/Desktop/documents/report.txt", true}, // through a link to an existing file
        {home.string() + "/Library/Preferences//com.qlorvex.plist", true},
        {home.string() + "/Library/Preferences/com.absent.plist", false},
        {linked("Downloads/later", home / "Documents"), false},  // a link made after the folders were resolved
        {linked("Downloads/nowhere", home / "absent"), false},
        {made("Downloads/outside/victim.txt"), false},            // through a link that leaves the root
        {home.string() + "/Downloads/../Documents/report.txt", false},
        {home.string() + "/Library", false},
    };
    for (const auto& [path, standsUnprotected] : cases) {
        EXPECT_EQ(static_cast<bool>(resolvedFirst.openUnprotected(path)), standsUnprotected) << path;
        if (standsUnprotected) {
            EXPECT_FALSE(resolvedFirst.protects(path)) << path;
        }
    }
}

// A folder is opened for its listing in the walk that judged it: one that is, or
// leads to, a protected folder is never opened.
TEST_F(ProtectedPaths, OpensForListingOnlyAFolderThatStandsUnprotected)
{
    const ProtectedFolders resolvedFirst;
    fs::create_directories(home / "Library/Application Support/Qlorvex");
    std::ofstream(home / "Library/Application Support/Qlorvex/settings") << "x";
    fs::create_directory_symlink(home / "Library", home / "Downloads/library");
    const struct {
        fs::path folder;
        bool opened;
    } cases[] = {
        {home / "Library/Application Support/Qlorvex", true},
        {home / "Desktop/documents", false},                       // a link to a protected folder
        {home / "Downloads/library", false},                       // a link made after the folders were resolved
        {home / "Downloads/outside", false},                       // a link that leaves the root
        {home / "Library/Application Support/Qlorvex/settings", false}, // no folder
        {home / "Library", false},
        {home / "absent", false},
    };
    for (const auto& [folder, opened] : cases)
        EXPECT_EQ(static_cast<bool>(resolvedFirst.openUnprotectedFolder(folder.string())), opened) << folder;
}

} // namespace
