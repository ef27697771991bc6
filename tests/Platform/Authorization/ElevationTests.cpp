#include "Platform/Authorization/Elevation.h"
#include "Platform/Authorization/ProcessUser.h"
#include "Platform/Tools/ToolPaths.h"
#include "StandInPkexec.h"
#include "TestRoot.h"

#include <unistd.h>

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace platform;

namespace {

// Plays user 501 over items this (root) process makes with the owner and mode given.
class PlayedUserRights : public testsupport::PlatformRootTest {
protected:
    void SetUp() override
    {
        PlatformRootTest::SetUp();
        ::setenv("PLATFORM_UID", "501", 1);
    }
    void TearDown() override { ::unsetenv("PLATFORM_UID"); }

    fs::path make(const std::string& name, uid_t owner, fs::perms mode, bool folder)
    {
        const auto path = testsupport::homeFolder() / name;
        folder ? (void)fs::create_directories(path) : (void)testsupport::plantFile(path);
        EXPECT_EQ(::chown(path.c_str(), owner, static_cast<gid_t>(-1)), 0);
        fs::permissions(path, mode);
        return path;
    }
};

TEST_F(PlayedUserRights, TheOwnerAndModeBitsDecideForAPlayedUser)
{
    using enum fs::perms;
    struct Case {
        const char* name;
        uid_t owner;
        fs::perms mode;
        bool mayWrite;
    };
    for (const Case& test : {Case{"own", 501, owner_all | group_read | others_read, true},
                             Case{"own-read-only", 501, owner_read | owner_exec, false},
                             Case{"roots", 0, owner_all | group_read | others_read, false},
                             Case{"roots-open-to-all", 0, owner_all | others_all, true},
                             Case{"someone-elses-owner-writable", 502, owner_all, false}}) {
        EXPECT_EQ(userMayWrite(make(test.name, test.owner, test.mode, true).string()), test.mayWrite) << test.name;
    }
    EXPECT_FALSE(userMayWrite((testsupport::homeFolder() / "missing").string()));
    ::setenv("PLATFORM_UID", "0", 1); // the real user again: the system's own check
    EXPECT_TRUE(userMayWrite(make("roots-read-only", 0, fs::perms::owner_read, true).string()));
}

TEST_F(PlayedUserRights, RemovingNeedsTheHoldingFolderAndAFoldersOwnRights)
{
    using enum fs::perms;
    const auto own = make("own", 501, owner_all, true);
    const auto roots = make("roots", 0, owner_all | others_read | others_exec, true);
    EXPECT_TRUE(userMayRemove(make("own/Tool.app", 501, owner_all, true).string()));
    EXPECT_TRUE(userMayRemove(make("own/roots-file", 0, owner_read, false).string())) << "a file goes with its folder";
    EXPECT_FALSE(userMayRemove(make("own/Locked.app", 501, owner_read | owner_exec, true).string()));
    EXPECT_FALSE(userMayRemove(make("roots/Tool.app", 501, owner_all, true).string()));
    EXPECT_TRUE(userMayRemove((own / "Tool.app/").string())) << "a trailing separator names the same folder";
    EXPECT_FALSE(userMayRemove((roots / "file").string()));
}

TEST(Elevation, ACommandGoesThroughThePkexecFoundOnThePath)
{
    const std::vector<std::string> command{"/bin/rm", "-rf", "--", "/Applications/Tool.app"};
    {
        testsupport::StandInPkexec pkexec;
        EXPECT_EQ(elevationToolPath(), pkexec.path().string());
        auto elevated = command;
        elevated.insert(elevated.begin(), pkexec.path().string());
        EXPECT_EQ(commandWithAdministratorRights(command), elevated);
    }
    const char* path = std::getenv("PATH");
    const std::string pathBefore = path ? path : "";
    ::setenv("PATH", "/nonexistent:relative/bin", 1);
    if (fs::exists("/usr/bin/pkexec")) {
        EXPECT_EQ(elevationToolPath(), "/usr/bin/pkexec");
    } else {
        EXPECT_EQ(elevationToolPath(), std::nullopt);
        EXPECT_EQ(commandWithAdministratorRights(command), command) << "the user's own rights, as they are";
    }
    ::setenv("PATH", pathBefore.c_str(), 1);
}

} // namespace
