#include "Foundation/UserPaths.h"

#include "Platform/Root/PlatformRoot.h"
#include "TestAnew.h"
#include "TestRoot.h"

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

// Paths are fixed at their first access in a process, so each test runs in a
// process of its own with the login name set before any of them is read.
class UserPathsTest : public testsupport::PlatformRootTest {
protected:
    void SetUp() override
    {
        setenv("PLATFORM_USER", "Jane Q Public", 1);
        PlatformRootTest::SetUp();
    }
    void TearDown() override { unsetenv("PLATFORM_USER"); }
};

} // namespace

TEST_F(UserPathsTest, LoginNameWithSpacesIsKeptUnquotedInEveryPath)
{
    if (!testsupport::inProcessOfItsOwn())
        return;
    const std::string home = platform::platformRoot() + "/Users/Jane Q Public";
    const std::string support = home + "/Library/Application Support/Bastion Guardpoint";
    const std::vector<std::pair<const std::string&, std::string>> cases = {
        {supportFolderPath(), support},
        {databasePath(), support + "/BGX.db"},
        {installedAgentPath(), support + "/ActiveGuardSentinelWarden.app"},
        {trackingPlistPath(), support + "/track.plist"},
        {legacyTrackingPlistPath(), home + "/Library/Application Support/BGX/track.plist"},
        {iniFilePath(), support + "/bgx.ini"},
        {databaseZipPath(), support + "/dl/updateddatabase.zip"},
        {downloadedDatabasePath(), support + "/dl/bgx.db"},
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(path, expected);
}

TEST_F(UserPathsTest, UserPathAddsNoSeparatorAndPathsStayFixedOnceBuilt)
{
    if (!testsupport::inProcessOfItsOwn())
        return;
    EXPECT_EQ(userPath("x"), platform::platformRoot() + "/Users/Jane Q Publicx");
    const std::string first = databasePath();
    setenv("PLATFORM_USER", "someone-else", 1);
    EXPECT_EQ(databasePath(), first);
    EXPECT_EQ(userPath(""), platform::platformRoot() + "/Users/someone-else");
}
