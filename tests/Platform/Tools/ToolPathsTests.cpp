#include "Platform/Tools/ToolPaths.h"
#include "Platform/Tools/ToolProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>

using platform::resolveToolPath;

namespace {

struct ToolCase {
    const char* macPath;
    const char* expected;
};

std::ostream& operator<<(std::ostream& out, const ToolCase& tool)
{
    return out << tool.macPath;
}

class HostToolTable : public ::testing::TestWithParam<ToolCase> {};

TEST_P(HostToolTable, MapsToTheHostTool)
{
    EXPECT_EQ(resolveToolPath(GetParam().macPath), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Tools, HostToolTable,
                         ::testing::Values(ToolCase{"/bin/sh", "/bin/sh"}, ToolCase{"/bin/mv", "/bin/mv"},
                                           ToolCase{"/bin/rm", "/bin/rm"},
                                           ToolCase{"/usr/sbin/chown", "/usr/bin/chown"},
                                           ToolCase{"/usr/bin/unzip", "/usr/bin/unzip"},
                                           ToolCase{"/usr/local/bin/other", "/usr/local/bin/other"},
                                           ToolCase{"relative/tool", "relative/tool"}));

TEST(StandInTools, AreFoundInTheToolsFolder)
{
    const char* saved = std::getenv("BG_TOOLS_DIR");
    const std::string previous = saved ? saved : "";
    setenv("BG_TOOLS_DIR", "/opt/standins", 1);
    EXPECT_EQ(resolveToolPath("/bin/launchctl"), "/opt/standins/launchctl");
    EXPECT_EQ(resolveToolPath("/usr/bin/open"), "/opt/standins/open");
    EXPECT_EQ(resolveToolPath("/usr/sbin/system_profiler"), "/opt/standins/system_profiler");
    unsetenv("BG_TOOLS_DIR");
    EXPECT_EQ(resolveToolPath("/usr/bin/open").substr(0, 1), "/");
    EXPECT_NE(resolveToolPath("/usr/bin/open"), "/usr/bin/open");
    if (saved)
        setenv("BG_TOOLS_DIR", previous.c_str(), 1);
}

TEST(ToolProcess, ReportsAToolThatCannotStart)
{
    using platform::ToolProcess;
    EXPECT_FALSE(ToolProcess::launch("/nonexistent/tool", {}, ToolProcess::Capture::Output));
    EXPECT_FALSE(ToolProcess::launch("/etc/hostname", {}, ToolProcess::Capture::Nothing));
}

TEST(ToolProcess, ReturnsExitCodeOrSignal)
{
    using platform::ToolProcess;
    auto exiting = ToolProcess::launch("/bin/sh", {"-c", "exit 3"}, ToolProcess::Capture::Nothing);
    ASSERT_TRUE(exiting);
    EXPECT_EQ(exiting->waitForExit(), 3);
    auto killed = ToolProcess::launch("/bin/sh", {"-c", "kill -TERM $$"}, ToolProcess::Capture::Nothing);
    ASSERT_TRUE(killed);
    EXPECT_EQ(killed->waitForExit(), 15);
}

} // namespace
