#include "Foundation/HelperObjc.h"
#include "Foundation/HelperObjcPrivilegedRemove.h"

#include "Platform/Authorization/AuthorizationAgent.h"
#include "Platform/FileManager/FileManager.h"
#include "Platform/Tools/ToolPaths.h"
#include "Platform/Tools/ToolProcess.h"
#include "StandInPkexec.h"
#include "TestRoot.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <optional>

namespace fs = std::filesystem;

namespace {

using platform::AuthorizationAnswer;
using platform::AuthorizationAgent;

// Answers every request with `answer` and counts the requests.
class PrivilegedRemoveTest : public testsupport::PlatformRootTest {
protected:
    void SetUp() override
    {
        PlatformRootTest::SetUp();
        answerWith(AuthorizationAnswer::Grant);
    }
    void TearDown() override
    {
        AuthorizationAgent::reset();
        ::unsetenv("PLATFORM_UID");
    }

    void answerWith(AuthorizationAnswer answer)
    {
        AuthorizationAgent::setPrompt([this, answer](const platform::AuthorizationRequest& request) {
            ++requests;
            lastRights = request.rights;
            lastPrompt = request.prompt;
            return answer;
        });
    }

    fs::path plantBundle(const std::string& name, const std::string& contents = "x")
    {
        return testsupport::plantFile(testsupport::homeFolder() / "Downloads" / name / "Contents/Info.plist", contents)
            .parent_path()
            .parent_path();
    }

    static fs::path trash() { return platform::userTrashPath(); }
    static std::string tool() { return fs::canonical(platform::resolveToolPath(platform::kPrivilegedRemoveTool)); }

    // A bundle of root's, which the user played as 501 cannot remove, in a folder below
    // the Downloads; and a folder outside the user's where a planted link leads.
    fs::path plantRootsBundle()
    {
        ::setenv("PLATFORM_UID", "501", 1);
        outside = testsupport::underRoot("/private/etc/profile.d");
        fs::create_directories(outside);
        return plantBundle("Evil/Setup.app", "found");
    }

    fs::path outside;

    int requests = 0;
    std::vector<std::string> lastRights;
    std::string lastPrompt;
};

TEST_F(PrivilegedRemoveTest, MovesToTheTrashUnderAFreeNameAfterAskingForTheAdminRight)
{
    testsupport::plantFile(trash() / "Setup.app/Contents/Info.plist", "earlier");
    const auto bundle = plantBundle("Setup.app", "now");
    EXPECT_TRUE(HelperObjc::AuthorizedRemove(bundle.string(), true));
    EXPECT_FALSE(fs::exists(bundle));
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(lastRights, std::vector<std::string>{"system.privilege.admin"});
    EXPECT_EQ(lastPrompt, "Moving \u201c" + bundle.string() + "\u201d to the Trash needs an administrator\u2019s rights.");
    std::ifstream earlier(trash() / "Setup.app/Contents/Info.plist"), moved(trash() / "Setup 2.app/Contents/Info.plist");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(earlier), {}), "earlier");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(moved), {}), "now");
}

TEST_F(PrivilegedRemoveTest, RemovesForGood)
{
    const auto bundle = plantBundle("-rf Tool.app");
    EXPECT_TRUE(HelperObjc::AuthorizedRemove(bundle.string(), false));
    EXPECT_FALSE(fs::exists(bundle));
    EXPECT_TRUE(fs::is_empty(trash()));
}

// Played as user 501 over items of root's (this process really is root): the tool
// goes through pkexec only where the user's own rights cannot remove the item.
TEST_F(PrivilegedRemoveTest, ThroughPkexecOnlyWhereTheUsersRightsAreNotEnough)
{
    ::setenv("PLATFORM_UID", "501", 1);
    struct Case {
        const char* name;
        bool usersOwn;
        bool withPkexec;
    };
    for (const Case& test : {Case{"Roots.app", false, true}, Case{"Own.app", true, true},
                             Case{"RootsWithoutPkexec.app", false, false}}) {
        if (!test.withPkexec && platform::elevationToolPath())
            continue; // this system always has one
        const auto bundle = plantBundle(test.name);
        const auto downloads = bundle.parent_path();
        for (const auto& item : {downloads, bundle})
            ASSERT_EQ(::chown(item.c_str(), test.usersOwn ? 501 : 0, static_cast<gid_t>(-1)), 0);
        std::optional<testsupport::StandInPkexec> pkexec;
        if (test.withPkexec)
            pkexec.emplace();
        EXPECT_TRUE(HelperObjc::AuthorizedRemove(bundle.string(), false)) << test.name;
        EXPECT_FALSE(fs::exists(bundle)) << test.name;
        if (pkexec) {
            const std::vector<std::string> elevated{tool(), "remove", bundle.string()};
            EXPECT_EQ(pkexec->recordedCommand(), test.usersOwn ? std::vector<std::string>{} : elevated) << test.name;
        }
    }
}

// The item's own process swaps the Trash for a link while the password is asked.
TEST_F(PrivilegedRemoveTest, ATrashSwappedForALinkMeanwhileTakesNothing)
{
    const auto bundle = plantRootsBundle();
    const std::string swapTrash = "mv '" + trash().string() + "' '" + trash().string() + ".old' && ln -s '" +
                                  outside.string() + "' '" + trash().string() + "'";
    testsupport::StandInPkexec pkexec(swapTrash);
    EXPECT_FALSE(HelperObjc::AuthorizedRemove(bundle.string(), true));
    EXPECT_EQ(pkexec.recordedCommand(),
              (std::vector<std::string>{tool(), "trash", bundle.string(), trash().string(), std::to_string(::getuid())}));
    EXPECT_TRUE(fs::is_empty(outside));
    EXPECT_EQ(testsupport::readFileText(bundle / "Contents/Info.plist"), "found");
}

// The same with a folder above the item swapped for a link to a folder of the same
// shape outside: nothing there is removed.
TEST_F(PrivilegedRemoveTest, AFolderAboveTheItemSwappedForALinkMeanwhileRemovesNothing)
{
    const auto bundle = plantRootsBundle();
    const auto victim = testsupport::plantFile(outside / "Evil/Setup.app/Contents/Info.plist", "outside");
    const auto evil = bundle.parent_path();
    testsupport::StandInPkexec pkexec("mv '" + evil.string() + "' '" + evil.string() + ".real' && ln -s '" +
                                      (outside / "Evil").string() + "' '" + evil.string() + "'");
    EXPECT_FALSE(HelperObjc::AuthorizedRemove(bundle.string(), false));
    EXPECT_EQ(pkexec.recordedCommand(), (std::vector<std::string>{tool(), "remove", bundle.string()}));
    EXPECT_EQ(testsupport::readFileText(victim), "outside");
    EXPECT_EQ(testsupport::readFileText(evil.string() + ".real/Setup.app/Contents/Info.plist"), "found");
}

// Debian puts ~/.local/bin first on the path: a pkexec the user's processes drop there
// must never receive the command.
TEST_F(PrivilegedRemoveTest, APkexecOnThePathIsNeverRun)
{
    const auto bundle = plantRootsBundle();
    const auto userBin = testsupport::homeFolder() / ".local/bin";
    const auto ran = testsupport::homeFolder() / "ran";
    const auto planted = testsupport::plantFile(userBin / "pkexec", "#!/bin/sh\necho \"$@\" > '" + ran.string() + "'\n");
    fs::permissions(planted, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    const char* path = std::getenv("PATH");
    const std::string pathBefore = path ? path : "";
    ::setenv("PATH", (userBin.string() + ":" + pathBefore).c_str(), 1);
    EXPECT_NE(platform::elevationToolPath(), planted.string());
    (void)HelperObjc::AuthorizedRemove(bundle.string(), false); // with this process's own rights
    ::setenv("PATH", pathBefore.c_str(), 1);
    EXPECT_FALSE(fs::exists(ran));
}

TEST_F(PrivilegedRemoveTest, BlankOrRelativePathsFailWithoutAsking)
{
    for (const char* path : {"", "   ", " \t ", "Downloads/Setup.app", "-rf"}) {
        EXPECT_FALSE(HelperObjc::AuthorizedRemove(path, false)) << '"' << path << '"';
    }
    EXPECT_EQ(requests, 0);
}

TEST(PrivilegedRemoveBlankPath, EveryKindOfWhitespaceIsBlank)
{
    for (const char* blank : {"", " ", " \t ", "\n", "\r\n", "\v\f", "\u00A0", "\u3000 \u2028"})
        EXPECT_TRUE(isBlankPath(blank)) << '"' << blank << '"';
    for (const char* path : {" /Applications/Tool.app ", "\n/x\n", "."})
        EXPECT_FALSE(isBlankPath(path)) << '"' << path << '"';
}

TEST_F(PrivilegedRemoveTest, RefusedOrCancelledLeavesTheItem)
{
    const auto bundle = plantBundle("Setup.app");
    for (const auto answer : {AuthorizationAnswer::Deny, AuthorizationAnswer::Cancel}) {
        answerWith(answer);
        EXPECT_FALSE(HelperObjc::AuthorizedRemove(bundle.string(), true));
        EXPECT_TRUE(fs::exists(bundle));
    }
}

TEST_F(PrivilegedRemoveTest, AFailingToolIsAFailure)
{
    EXPECT_FALSE(HelperObjc::AuthorizedRemove((testsupport::homeFolder() / "Downloads/Gone.app").string(), true));
    // A Trash that is no folder: the move fails and the item stays.
    fs::remove_all(trash());
    testsupport::plantFile(trash());
    const auto bundle = plantBundle("Setup.app");
    EXPECT_FALSE(HelperObjc::AuthorizedRemove(bundle.string(), true));
    EXPECT_TRUE(fs::exists(bundle));
}

TEST_F(PrivilegedRemoveTest, WaitsForItsOwnToolOnly)
{
    // Another child of the program that has already ended: the remover must leave it
    // to its owner, and must not take its end for the tool's.
    auto other = platform::ToolProcess::launch("/bin/sh", {"-c", "exit 7"}, platform::ToolProcess::Capture::Nothing);
    ASSERT_TRUE(other);
    const auto bundle = plantBundle("Setup.app");
    EXPECT_TRUE(HelperObjc::AuthorizedRemove(bundle.string(), true));
    EXPECT_FALSE(fs::exists(bundle));
    EXPECT_EQ(other->waitForExit(), 7);
}

} // namespace
