#include "Platform/Bundle/Bundle.h"

#include "Platform/Values/PropertyList.h"
#include "TestRoot.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

using platform::Bundle;

class BundleTest : public testsupport::PlatformRootTest {
protected:
    void SetUp() override
    {
        PlatformRootTest::SetUp();
        bundle_ = testsupport::underRoot("/Applications/Bastion Guardpoint.app");
        const platform::Dictionary info{{"CFBundleIdentifier", "com.tarnwicklabs.bastionguardpoint"},
                                        {"CFBundleExecutable", "Bastion Guardpoint"},
                                        {"CFBundleShortVersionString", "2.1"}};
        fs::create_directories(bundle_ / "Contents");
        ASSERT_TRUE(platform::writePropertyListFile((bundle_ / "Contents/Info.plist").string(), info));
        testsupport::plantFile(bundle_ / "Contents/MacOS/Bastion Guardpoint");
        testsupport::plantFile(bundle_ / "Contents/Resources/English.plist");
        testsupport::plantFile(bundle_ / "Contents/Resources/README");
        fs::create_directories(bundle_ / "Contents/Resources/ActiveGuardSentinelWarden.app/Contents");
    }

    fs::path bundle_;
};

TEST_F(BundleTest, ReadsItsInfoDictionary)
{
    const Bundle bundle(bundle_.string() + "/");
    EXPECT_EQ(bundle.bundlePath(), bundle_.string());
    EXPECT_EQ(bundle.bundleIdentifier(), "com.tarnwicklabs.bastionguardpoint");
    EXPECT_EQ(bundle.executablePath(), (bundle_ / "Contents/MacOS/Bastion Guardpoint").string());
    EXPECT_EQ(bundle.resourcePath(), (bundle_ / "Contents/Resources").string());
    ASSERT_NE(bundle.objectForInfoDictionaryKey("CFBundleShortVersionString"), nullptr);
    EXPECT_EQ(*bundle.objectForInfoDictionaryKey("CFBundleShortVersionString"), platform::Value("2.1"));
    EXPECT_EQ(bundle.objectForInfoDictionaryKey("NoSuchKey"), nullptr);
    EXPECT_EQ(bundle.infoDictionary().size(), 3u);
}

TEST_F(BundleTest, FindsOnlyResourcesThatExist)
{
    const Bundle bundle(bundle_.string());
    const auto resources = bundle_ / "Contents/Resources";
    const struct {
        std::string name, type;
        std::optional<std::string> expected;
    } cases[] = {
        {"English", "plist", (resources / "English.plist").string()},
        {"ActiveGuardSentinelWarden", "app", (resources / "ActiveGuardSentinelWarden.app").string()},
        {"README", "", (resources / "README").string()},
        {"English.plist", "", (resources / "English.plist").string()},
        {"French", "plist", std::nullopt},
        {"English", "txt", std::nullopt},
        {"", "plist", std::nullopt},
        {"", "", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(bundle.pathForResource(c.name, c.type), c.expected) << c.name << " / " << c.type;
}

TEST_F(BundleTest, FolderWithoutReadableInfoHasNoIdentifierNorExecutable)
{
    const auto plain = testsupport::underRoot("/Applications/Plain.app");
    fs::create_directories(plain / "Contents");
    const auto broken = testsupport::plantFile(testsupport::underRoot("/Applications/Broken.app/Contents/Info.plist"),
                                               "<plist><dict><key>").parent_path().parent_path();
    for (const auto& path : {plain, broken}) {
        const Bundle bundle(path.string());
        EXPECT_TRUE(bundle.infoDictionary().empty()) << path;
        EXPECT_EQ(bundle.bundleIdentifier(), std::nullopt) << path;
        EXPECT_EQ(bundle.executablePath(), "") << path;
    }
}

TEST(MainBundle, IsTheBundleAroundTheExecutableOrItsFolder)
{
    EXPECT_EQ(Bundle::bundlePathOfExecutable("/Applications/X.app/Contents/MacOS/X"), "/Applications/X.app");
    EXPECT_EQ(Bundle::bundlePathOfExecutable("/build/tests/runner"), "/build/tests");
    EXPECT_EQ(Bundle::bundlePathOfExecutable("/build/MacOS/runner"), "/build/MacOS");
}

TEST_F(BundleTest, MainBundleFollowsTheSetPathAndKeepsItsReference)
{
    Bundle& main = Bundle::main();
    Bundle::setMainBundlePath(bundle_.string());
    EXPECT_EQ(&Bundle::main(), &main);
    EXPECT_EQ(main.bundleIdentifier(), "com.tarnwicklabs.bastionguardpoint");
    EXPECT_TRUE(main.pathForResource("English", "plist").has_value());
}

} // namespace
