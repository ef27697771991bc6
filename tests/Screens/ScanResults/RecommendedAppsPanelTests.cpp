#include "ResultScreensTest.h"

#include "Controls/FlatButton.h"
#include "Foundation/PageURLs.h"
#include "Foundation/Settings.h"
#include "Platform/Values/PropertyList.h"
#include "Screens/Scan/CleanProcessViewController.h"
#include "Screens/Common/RecommendedAppsPanel.h"

#include <QLabel>

#include <filesystem>

namespace {

const char* const identifiers[] = {"com.tarnwicklabs.volumebroom", "com.tarnwicklabs.twinpicturesifter",
                                   "com.tarnwicklabs.twindocumentsifter", "com.tarnwicklabs.tagforge",
                                   "com.tarnwicklabs.pagemulcher"};

void install(int entry)
{
    const auto bundle = testsupport::underRoot("/Applications/Product" + std::to_string(entry) + ".app");
    std::filesystem::create_directories(bundle / "Contents");
    ASSERT_TRUE(platform::writePropertyListFile((bundle / "Contents/Info.plist").string(),
                                                platform::Dictionary{{"CFBundleIdentifier", identifiers[entry - 1]}}));
}

std::optional<platform::Value> counter()
{
    return standardDefaults().object(SettingsKey::countAdvertise);
}

class RecommendedAppsTest : public screentest::ResultScreensTest {
protected:
    void SetUp() override
    {
        ResultScreensTest::SetUp();
        resetWorld();
    }
    // A fresh root: nothing installed, no counter.
    void resetWorld()
    {
        PlatformRootTest::SetUp();
        standardDefaults().removeObject(SettingsKey::countAdvertise);
    }

    RecommendedAppsPanel panel{content};
};

TEST_F(RecommendedAppsTest, TheCounterPicksWhereTheChoiceStartsAndInstalledProductsArePassedOver)
{
    const struct {
        const char* name;
        std::optional<platform::Value> stored;
        std::vector<int> installed;
        int shown;
        std::int64_t written;
    } cases[] = {
        {"absent", std::nullopt, {}, 1, 2},
        {"a text", platform::Value("three"), {}, 1, 2},
        {"1, 1 and 2 installed", 1, {1, 2}, 3, 2},
        {"2", 2, {}, 2, 3},
        {"3, 3 to 5 installed", 3, {3, 4, 5}, 2, 4},
        {"4, all but 1 installed", 4, {4, 5, 2, 3}, 1, 5},
        {"5", 5, {}, 5, 1},
        {"5, 5 and 4 installed", 5, {5, 4}, 1, 1},
    };
    for (const auto& each : cases) {
        resetWorld();
        if (each.stored)
            standardDefaults().setObject(SettingsKey::countAdvertise, *each.stored);
        for (const int entry : each.installed)
            install(entry);
        panel.chooseRecommendedApp();
        const std::string what = std::string("counter ") + each.name;
        EXPECT_EQ(panel.isRecommended, each.shown) << what;
        EXPECT_EQ(counter(), platform::Value(each.written)) << what;
        EXPECT_FALSE(panel.isHidden()) << what;
        EXPECT_EQ(panel.lblRecommendedAppName->text().toStdString(),
                  "IDS_BGX_" + std::to_string(91 + 2 * each.shown))
            << what;
        EXPECT_FALSE(panel.imgViewAd->pixmap().isNull()) << what << ": the entry's artwork";
    }
}

TEST_F(RecommendedAppsTest, DownloadOpensThePageOfTheProductShown)
{
    standardDefaults().setInteger(SettingsKey::countAdvertise, 4);
    panel.chooseRecommendedApp();
    panel.openRecommendedApp();
    ASSERT_EQ(seams.openedURLs.size(), 1u);
    EXPECT_EQ(seams.openedURLs[0], promotionPageURLs()[3]->toString().toStdString());
    EXPECT_NE(seams.openedURLs[0].find("utm_source=bgx&utm_campaign=bgx_build"), std::string::npos);
}

TEST_F(RecommendedAppsTest, WithEveryProductInstalledThePanelHidesAndDownloadDoesNothing)
{
    for (int entry = 1; entry <= 5; ++entry)
        install(entry);
    standardDefaults().setInteger(SettingsKey::countAdvertise, 2);
    panel.chooseRecommendedApp();
    EXPECT_TRUE(panel.isHidden());
    EXPECT_EQ(panel.isRecommended, 0);
    EXPECT_EQ(counter(), platform::Value(3));
    panel.openRecommendedApp();
    EXPECT_TRUE(seams.openedURLs.empty());
}

TEST_F(RecommendedAppsTest, ACounterOutsideOneToFiveIsLeftAndTheLastChoiceStays)
{
    panel.showRecommendedApp(3);
    for (const std::int64_t stored : {0, 7}) {
        standardDefaults().setInteger(SettingsKey::countAdvertise, stored);
        panel.chooseRecommendedApp();
        EXPECT_EQ(counter(), platform::Value(stored));
        EXPECT_EQ(panel.isRecommended, 0);
        EXPECT_EQ(panel.lblRecommendedAppName->text(), "IDS_BGX_97") << "the panel keeps what it showed";
        panel.openRecommendedApp();
        EXPECT_TRUE(seams.openedURLs.empty());
    }
}

TEST_F(RecommendedAppsTest, EachShowingOfACleanScreenAdvancesTheCounter)
{
    CleanProcessViewController screen;
    showInWindow(screen);
    EXPECT_EQ(counter(), platform::Value(2));
    showInWindow(panel);
    showInWindow(screen);
    EXPECT_EQ(counter(), platform::Value(3));
    EXPECT_EQ(screen.boxRecommendedApp->isRecommended, 2);
    screen.boxRecommendedApp->btnDownloadNow->click();
    ASSERT_EQ(seams.openedURLs.size(), 1u);
    EXPECT_EQ(seams.openedURLs[0], promotionPageURLs()[1]->toString().toStdString());
}

} // namespace
