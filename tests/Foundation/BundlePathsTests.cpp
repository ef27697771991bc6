#include "Foundation/BundlePaths.h"

#include "Platform/Bundle/Bundle.h"
#include "TestRoot.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

class BundlePathsTest : public testsupport::PlatformRootTest {
protected:
    fs::path plantBundle()
    {
        const fs::path bundle = testsupport::underRoot("/Applications/Bastion Guardpoint.app");
        fs::create_directories(bundle / "Contents/Resources");
        platform::Bundle::setMainBundlePath(bundle.string());
        return bundle / "Contents/Resources";
    }
};

} // namespace

TEST_F(BundlePathsTest, ShippedDatabaseAndAgentAreFoundInTheResources)
{
    const fs::path resources = plantBundle();
    testsupport::plantFile(resources / "BGX.db");
    fs::create_directories(resources / "ActiveGuardSentinelWarden.app/Contents");
    EXPECT_EQ(bundledDatabasePath(), (resources / "BGX.db").string());
    EXPECT_EQ(bundledAgentPath(), (resources / "ActiveGuardSentinelWarden.app").string());
}

TEST_F(BundlePathsTest, MissingResourcesGiveEmptyText)
{
    plantBundle();
    EXPECT_EQ(bundledDatabasePath(), "");
    EXPECT_EQ(bundledAgentPath(), "");
}

// Each call asks the main bundle as it is then: a test that pointed it at another
// bundle leaves nothing behind for the next.
TEST_F(BundlePathsTest, TheMainBundleIsAskedAtEachCall)
{
    const fs::path resources = plantBundle();
    testsupport::plantFile(resources / "BGX.db");
    EXPECT_EQ(bundledDatabasePath(), (resources / "BGX.db").string());
    const fs::path other = testsupport::underRoot("/Applications/Other.app");
    fs::create_directories(other / "Contents/Resources");
    platform::Bundle::setMainBundlePath(other.string());
    EXPECT_EQ(bundledDatabasePath(), "");
}
