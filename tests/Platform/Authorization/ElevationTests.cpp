#include "Platform/Authorization/Elevation.h"
#include "Platform/Authorization/ProcessUser.h"
#include "Platform/Tools/ToolPaths.h"
#include "StandInPkexec.h"
#include "TestRoot.h"

#include <fcntl.h>
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

    // userMayWriteOpened() of the item at `path` opened as a handle.
    static bool mayWriteOpened(const fs::path& path)
    {
        const int item = ::open(path.c_str(), O_PATH | O_CLOEXEC);
        EXPECT_GE(item, 0) << path;
        const bool mayWrite = userMayWriteOpened(item);
        ::close(item);
        return mayWrite;
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
        const auto item = make(test.name, test.owner, test.mode, true);
        EXPECT_EQ(userMayWrite(item.string()), test.mayWrite) << test.name;
        EXPECT_EQ(mayWriteOpened(item), test.mayWrite) << test.name;
    }
    EXPECT_FALSE(userMayWrite((testsupport::homeFolder() / "missing").string()));
    ::setenv("PLATFORM_UID", "0", 1); // the real user again: the system's own check
    const auto rootsReadOnly = make("roots-read-only", 0, fs::perms::owner_read, true);
    EXPECT_TRUE(userMayWrite(rootsReadOnly.string()));
    EXPECT_TRUE(mayWriteOpened(rootsReadOnly));
}

TEST_F(PlayedUserRights, TheSystemsOwnCheckOfAnOpenedItemFollowsItsMode)
{
    ::unsetenv("PLATFORM_UID");
    const auto file = testsupport::plantFile(testsupport::homeFolder() / "file");
    EXPECT_TRUE(mayWriteOpened(file));
    fs::permissions(file, fs::perms::owner_read);
    EXPECT_EQ(mayWriteOpened(file), ::geteuid() == 0) << "root writes a read-only file; anyone else may not";
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

// A folder of root's for the cases below, made and removed by the test.
class RootOnlyPaths : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "bg-root-only-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override { fs::remove_all(folder); }

    fs::path make(const std::string& name, fs::perms mode, uid_t owner = 0)
    {
        const auto path = folder / name;
        name.ends_with("/") ? (void)fs::create_directories(path) : (void)testsupport::plantFile(path, "#!/bin/sh\n");
        fs::permissions(path, mode);
        EXPECT_EQ(::lchown(path.c_str(), owner, static_cast<gid_t>(-1)), 0);
        return path.string().ends_with("/") ? path.parent_path() : path;
    }

    fs::path folder;
};

TEST_F(RootOnlyPaths, OnlyRootsOwnFilesOnAPathOthersCannotChange)
{
    using enum fs::perms;
    ASSERT_TRUE(::getuid() == 0) << "the cases are made as root";
    const auto tool = owner_all | group_read | group_exec | others_read | others_exec;
    make("open/", all);
    make("sticky/", all | sticky_bit);
    make("real/", tool);
    fs::create_directory_symlink(folder / "real", folder / "link");
    struct Case {
        std::string path;
        bool onlyRoot;
    };
    for (const Case& test : {Case{make("roots", tool).string(), true},
                             Case{make("group-writable", tool | group_write).string(), false},
                             Case{make("users", tool, 501).string(), false},
                             Case{make("open/roots", tool).string(), false},
                             Case{make("sticky/roots", tool).string(), true},
                             Case{make("sticky/users", tool, 501).string(), false},
                             Case{make("real/roots", tool).string(), true},
                             Case{(folder / "link/roots").string(), false},
                             Case{(folder / "real/../roots").string(), false},
                             Case{"roots", false},
                             Case{(folder / "missing").string(), false}}) {
        EXPECT_EQ(onlyRootCanChange(test.path), test.onlyRoot) << test.path;
    }
}

TEST(Elevation, ACommandGoesThroughTheTestsStandInOnlyUnderATestRoot)
{
    const std::vector<std::string> command{"/bin/rm", "-rf", "--", "/Applications/Tool.app"};
    auto realCommand = command;
    realCommand.front() = fs::canonical(command.front()).string();
    testsupport::StandInPkexec pkexec;
    EXPECT_EQ(elevationToolPath(), pkexec.path().string());
    auto elevated = realCommand;
    elevated.insert(elevated.begin(), pkexec.path().string());
    EXPECT_EQ(commandWithAdministratorRights(command), elevated) << "the tool named by its real path";

    const std::string root = testsupport::platformRootFolder().string();
    ::setenv("PLATFORM_ROOT", "/", 1);
    EXPECT_NE(elevationToolPath(), pkexec.path().string()) << "a real run never takes it";
    ::setenv("PLATFORM_ROOT", root.c_str(), 1);

    fs::permissions(pkexec.path(), fs::perms::others_write, fs::perm_options::add);
    EXPECT_EQ(elevationToolPath(), std::nullopt) << "nor one others may change";
    EXPECT_EQ(commandWithAdministratorRights(command), command) << "the user's own rights, as they are";
}

// The elevation tool's own ends are told in plain words, whatever it printed; the
// command's own failure by the reason of its error line.
TEST(Elevation, ARefusedStepIsToldInPlainWords)
{
    struct Case {
        std::string meanwhile; // what the elevation tool does once it has recorded the command
        std::string said;
    };
    const std::string dismissed = "echo 'Error executing command as another user: Request dismissed' >&2; exit 126";
    const std::string wrongPassword =
        "echo 'Error executing command as another user: Not authorized' >&2; echo >&2;"
        " echo 'This incident has been reported.' >&2; exit 127";
    for (const auto& [meanwhile, said] :
         {Case{dismissed, "The administrator\u2019s password was not given."},
          Case{wrongPassword, "The administrator\u2019s password was not accepted."},
          Case{"", "\"/Library/LaunchDaemons/x.plist\" is not a folder only root can change"}}) {
        testsupport::StandInPkexec pkexec(meanwhile);
        EXPECT_EQ(runWithAdministratorRights({"/bin/sh", "-c",
                                              "echo 'launchctl: \"/Library/LaunchDaemons/x.plist\" is not a folder "
                                              "only root can change' >&2; exit 2"}),
                  said)
            << meanwhile;
    }
    EXPECT_EQ(reasonOfToolOutput("privileged-remove: \"/a\" could not be removed: Permission denied\n"),
              "Permission denied");
    EXPECT_EQ(reasonOfToolOutput("first: line\nno colon here\n\n"), "no colon here");
}

TEST(Elevation, NeitherAPkexecOnThePathNorAToolOthersMayChange)
{
    const auto userBin = testsupport::homeFolder() / ".local/bin";
    testsupport::plantFile(userBin / "pkexec", "#!/bin/sh\n");
    fs::permissions(userBin / "pkexec", fs::perms::owner_all);
    const char* path = std::getenv("PATH");
    const std::string pathBefore = path ? path : "";
    ::setenv("PATH", (userBin.string() + ":" + pathBefore).c_str(), 1);
    const auto found = elevationToolPath();
    ::setenv("PATH", pathBefore.c_str(), 1);
    if (fs::exists("/usr/bin/pkexec"))
        EXPECT_EQ(found, "/usr/bin/pkexec");
    else
        EXPECT_EQ(found, std::nullopt);

    testsupport::StandInPkexec pkexec;
    const auto usersTool = testsupport::plantFile(testsupport::homeFolder() / "tool", "#!/bin/sh\n");
    ASSERT_EQ(::chown(usersTool.c_str(), 501, static_cast<gid_t>(-1)), 0);
    const std::vector<std::string> command{usersTool.string(), "remove", "/Applications/Tool.app"};
    EXPECT_EQ(commandWithAdministratorRights(command), command);
}

} // namespace
