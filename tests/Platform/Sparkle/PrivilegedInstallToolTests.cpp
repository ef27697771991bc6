#include "Platform/Tools/ToolPaths.h"
#include "Platform/Tools/ToolProcess.h"
#include "RealUser.h"
#include "TestRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using PrivilegedInstallTool = testsupport::PlatformRootTest;

// The raised install tool takes its arguments from a process the user runs: what
// makes no request, or names an application in a folder the user could change, is
// refused with one line and exit status 2 before anything is read or written.
TEST_F(PrivilegedInstallTool, RefusesWhatMakesNoSafeRequest)
{
    const fs::path applications = testsupport::underRoot("/Applications");
    const fs::path usersFolder = testsupport::homeFolder() / "Applications";
    fs::create_directories(usersFolder / "Mine.app/Contents");
    testsupport::RealUserThread::giveToUser(usersFolder);
    const std::string release = (testsupport::homeFolder() / "release.app").string();
    const auto before = testsupport::folderTree(testsupport::platformRootFolder());
    struct Case {
        std::vector<std::string> arguments;
        std::string said;
    };
    const std::string usersApplication = (usersFolder / "Mine.app").string();
    const Case cases[] = {
        {{}, "usage: privileged-install <installed application> <release bundle>"},
        {{"a", "b", "c"}, "usage: privileged-install <installed application> <release bundle>"},
        {{"Applications/X.app", release}, "\u201cApplications/X.app\u201d is not a plain absolute path of an application"},
        {{(applications / "../X.app").string(), release},
         "\u201c" + (applications / "../X.app").string() + "\u201d is not a plain absolute path of an application"},
        {{(applications / "X").string(), release},
         "\u201c" + (applications / "X").string() + "\u201d is not a plain absolute path of an application"},
        {{(applications / "X.app").string(), "release.app"}, "\u201crelease.app\u201d is not a plain absolute path"},
        {{usersApplication, release}, "the folder of \u201c" + usersApplication + "\u201d is not root\u2019s alone"},
    };
    const std::string tool = (platform::standInToolFolder() / "privileged-install").string();
    for (const Case& each : cases) {
        std::vector<std::string> arguments{"-c", "exec \"$0\" \"$@\" 2>&1", tool};
        arguments.insert(arguments.end(), each.arguments.begin(), each.arguments.end());
        auto run = platform::ToolProcess::launch("/bin/sh", arguments, platform::ToolProcess::Capture::Output);
        ASSERT_TRUE(run);
        const std::string said = run->readOutputToEnd();
        EXPECT_EQ(run->waitForExit(), 2) << each.said;
        EXPECT_EQ(said, "privileged-install: " + each.said + "\n");
    }
    EXPECT_EQ(testsupport::folderTree(testsupport::platformRootFolder()), before);
}

} // namespace
