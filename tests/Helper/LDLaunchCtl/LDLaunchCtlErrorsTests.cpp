#include "Helper/LDLaunchCtl/LDLaunchCtl.h"
#include "Helper/LDLaunchCtl/LDLaunchCtlErrors.h"

#include <gtest/gtest.h>

namespace {

TEST(LDLaunchCtlErrors, CodesCarryTheirMessagesInTheLibraryDomain)
{
    struct Case {
        std::int64_t code;
        const char* message;
    };
    const Case cases[] = {
        {2, "The Submitted Job was missing some required keys"},
        {3, "Job not loaded"},
        {9, "Cannot unload The helper tool, it is not currently loaded."},
        {15, "There were problem writing to the file"},
        {17, "You are not authorized to to perform this action"},
        {19, "The path specified doesn\u2019t appear to be executable."},
        {-60006, "Authorizaton canceled by user."},
        {-60005, "The authorization was refused."},
        {424242, "An unknown problem occurred"},
    };
    for (const auto& test : cases) {
        platform::Error error;
        EXPECT_FALSE(LDLaunchCtl::errorWithCode(test.code, &error));
        EXPECT_EQ(error, (platform::Error{"com.vorqapps.ldlaunchctl", test.code, test.message})) << test.code;
    }
}

TEST(LDLaunchCtlErrors, CodeZeroIsNoError)
{
    platform::Error error;
    EXPECT_TRUE(LDLaunchCtl::errorWithCode(0, &error));
    EXPECT_EQ(error, platform::Error{});
}

TEST(LDLaunchCtlErrors, WithoutAnOutParameterTheMessageIsLogged)
{
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(LDLaunchCtl::errorWithCode(3, nullptr));
    EXPECT_FALSE(LDLaunchCtl::errorWithMessage("custom words", 1, nullptr));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Error: Job not loaded\nError: custom words\n");
}

TEST(LDLaunchCtlErrors, LaunchdErrorsPassUnchanged)
{
    const platform::Error launchd{"CFErrorDomainLaunchd", 3, "No such process"};
    platform::Error error;
    EXPECT_FALSE(LDLaunchCtl::errorWithCFError(launchd, 3, &error));
    EXPECT_EQ(error, launchd);
}

} // namespace
