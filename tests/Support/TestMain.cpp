#include "BackgroundWork.h"
#include "ProcessGuard.h"
#include "TestRoot.h"

#include "Platform/Dispatch/Dispatch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// What every test process runs with, unless the caller set it otherwise:
// headless Qt, the stand-in tools of this build, and an analytics endpoint on a
// loopback port where nothing listens, so no hit ever leaves the machine.
void setTestEnvironment()
{
    const std::string build = BG_TEST_BUILD_DIR;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("BG_BUILD_DIR", build.c_str(), 0);
    setenv("BG_TOOLS_DIR", (build + "/bin").c_str(), 0);
    setenv("BG_ANALYTICS_URL", "http://127.0.0.1:9/collect", 0);
}

void removePlatformRoot()
{
    std::error_code ignored;
    std::filesystem::remove_all(testsupport::platformRootFolder(), ignored);
}

} // namespace

int main(int argc, char** argv)
{
    setTestEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    platform::dispatch::adoptMainThread();
    testsupport::awaitBackgroundWorkAfterEachTest();
    // The desktop session's folders of the root's own: no test writes the user's.
    setenv("XDG_CONFIG_HOME", (testsupport::platformRootFolder() / "xdg-config").c_str(), 1);
    testsupport::guardProcessesOfTheRoot();
    // Removed after the static objects of the tests have ended, since their last
    // actions (an observer leaving the distributed center) may make folders in it.
    std::atexit(removePlatformRoot);
    std::at_quick_exit(removePlatformRoot);
    const int status = RUN_ALL_TESTS();
    platform::dispatch::finishGlobalQueue(status);
    return status;
}
