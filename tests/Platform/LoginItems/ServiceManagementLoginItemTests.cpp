#include "Platform/LoginItems/ServiceManagementLoginItem.h"

#include "Platform/Bundle/Bundle.h"
#include "Platform/Launchd/LaunchdTestFixture.h"
#include "Platform/Values/PropertyList.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using platform::LaunchdDomain;

class SMLoginItemTest : public testsupport::LaunchdTest {
protected:
    void SetUp() override
    {
        LaunchdTest::SetUp();
        const auto app = testsupport::underRoot("/Applications/Host.app");
        const auto helper = app / "Contents/Library/LoginItems/Helper.app";
        fs::create_directories(app / "Contents");
        ASSERT_TRUE(platform::writePropertyListFile((app / "Contents/Info.plist").string(),
                                                    platform::Dictionary{{"CFBundleIdentifier", "com.example.host"}}));
        fs::create_directories(helper / "Contents/MacOS");
        ASSERT_TRUE(platform::writePropertyListFile(
            (helper / "Contents/Info.plist").string(),
            platform::Dictionary{{"CFBundleIdentifier", "com.example.host.helper"}, {"CFBundleExecutable", "Helper"}}));
        testsupport::plantFile(helper / "Contents/MacOS/Helper", "#!/bin/sh\nexec sleep 30\n");
        fs::permissions(helper / "Contents/MacOS/Helper", fs::perms::owner_all);
        platform::Bundle::setMainBundlePath(app.string());
    }
};

TEST_F(SMLoginItemTest, SwitchesTheHelperOfTheMainBundleOnAndOff)
{
    ASSERT_TRUE(platform::SMLoginItemSetEnabled("com.example.host.helper", true));
    const auto job = platform::SMJobCopyDictionary(LaunchdDomain::User, "com.example.host.helper");
    ASSERT_TRUE(job);
    EXPECT_EQ(job->at("OnDemand"), platform::Value(true));
    EXPECT_TRUE(waitForPID(LaunchdDomain::User, "com.example.host.helper"));

    EXPECT_TRUE(platform::SMLoginItemSetEnabled("com.example.host.helper", false));
    EXPECT_FALSE(platform::SMJobCopyDictionary(LaunchdDomain::User, "com.example.host.helper"));
    EXPECT_FALSE(platform::SMLoginItemSetEnabled("com.example.host.helper", false));
}

TEST_F(SMLoginItemTest, AnIdentifierWithoutAHelperCannotBeSwitchedOn)
{
    EXPECT_FALSE(platform::SMLoginItemSetEnabled("com.example.host", true));
    EXPECT_FALSE(platform::SMLoginItemSetEnabled("com.example.unknown", true));
    EXPECT_TRUE(platform::SMCopyAllJobDictionaries(LaunchdDomain::User).empty());
}

} // namespace
