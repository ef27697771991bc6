#include "Foundation/TextTable.h"

#include "Foundation/PresentationSlots.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Values/PropertyList.h"
#include "TestRoot.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// A bundle planted in the test root stands for the running application.
class TextTableTest : public testsupport::PlatformRootTest {
protected:
    void SetUp() override
    {
        PlatformRootTest::SetUp();
        bundle_ = testsupport::underRoot("/Applications/Bastion Guardpoint.app");
        fs::create_directories(resources());
        platform::Bundle::setMainBundlePath(bundle_.string());
        languageTable().reset();
        const platform::Dictionary english = {
            {"IDS_BGX_1", "Scan"}, {"IDS_BGX_2", 42}, {"IDS_BGX_25", "Protection"}};
        ASSERT_TRUE(platform::writePropertyListFile((resources() / "English.plist").string(), english));
    }
    void TearDown() override { languageTable().reset(); }

    fs::path resources() const { return bundle_ / "Contents/Resources"; }

private:
    fs::path bundle_;
};

} // namespace

TEST_F(TextTableTest, NothingIsFoundBeforeATableIsLoaded)
{
    EXPECT_EQ(localizedString("IDS_BGX_1"), std::nullopt);
    EXPECT_EQ(localizedText("IDS_BGX_1"), "");
}

TEST_F(TextTableTest, LoadedTableGivesTextsOnlyForExactKeysWithTextValues)
{
    languageTable() = readBundlePlist("English");
    ASSERT_TRUE(languageTable());
    EXPECT_EQ(localizedString("IDS_BGX_1"), "Scan");
    EXPECT_EQ(localizedText("IDS_BGX_25"), "Protection");
    EXPECT_EQ(localizedString("IDS_BGX_2"), std::nullopt) << "number value";
    EXPECT_EQ(localizedString("IDS_BGX_01"), std::nullopt) << "leading zero";
    EXPECT_EQ(localizedString("ids_bgx_1"), std::nullopt) << "case";
    EXPECT_EQ(localizedText("IDS_BGX_3"), "");
}

TEST_F(TextTableTest, MissingResourceYieldsNothingAndClearsTheTable)
{
    languageTable() = readBundlePlist("English");
    ASSERT_TRUE(languageTable());
    languageTable() = readBundlePlist("French");
    EXPECT_FALSE(languageTable());
    EXPECT_EQ(localizedText("IDS_BGX_1"), "");
}

TEST_F(TextTableTest, RootOtherThanADictionaryOrMalformedFileYieldsNothing)
{
    ASSERT_TRUE(platform::writePropertyListFile((resources() / "List.plist").string(),
                                                platform::Array{platform::Value("IDS_BGX_1")}));
    testsupport::plantFile(resources() / "Broken.plist", "<plist><dict><key>IDS_BGX_1");
    EXPECT_EQ(readBundlePlist("List"), std::nullopt);
    EXPECT_EQ(readBundlePlist("Broken"), std::nullopt);
}
