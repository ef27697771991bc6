#include "ResultScreensTest.h"

#include "Controls/FlatButton.h"
#include "Detection/Clean.h"
#include "Detection/SharedLists.h"
#include "Foundation/IndexVocabularies.h"
#include "Foundation/Settings.h"
#include "Foundation/SharedState.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/FileManager/FileManager.h"
#include "Screens/Scan/CleanProcessViewController.h"
#include "Screens/Scan/ScanResultViewController.h"
#include "Support/Widgets/WidgetTestSupport.h"

#include <QLabel>

#include <chrono>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using screentest::resultRow;

class CleanEndToEndTest : public screentest::ResultScreensTest {
protected:
    void SetUp() override
    {
        ResultScreensTest::SetUp();
        useEnglishTexts();
        standardDefaults().setInteger(SettingsKey::totalDeceptiveAppsRemovedSoFar, 4);
    }
};

// From the results of a scan to the clean's result and back home. The scan's hand-over
// (the Overview turning the found records into rows) is played here: the rows are made
// as it makes them, each record selected, from planted items. The scan container's part
// (showing the clean screen when the clean starts) is played by an observer.
TEST_F(CleanEndToEndTest, SelectedItemsGoToTheTrashAndTheResultCountsThem)
{
    const std::string app = plantItem("Applications/Search Lens.app/Contents/Info.plist");
    const std::string bundle = fs::path(app).parent_path().parent_path().string();
    const std::string agent = plantItem("Library/LaunchAgents/com.searchlens.agent.plist");
    const std::string booster = plantItem("Library/Application Support/Booster/booster.db");
    scanResults().replace({resultRow(0, "Search Lens", {bundle, agent}), resultRow(1, "Mac Booster", {booster})});

    ScanResultViewController results;
    CleanProcessViewController clean;
    showInWindow(results);
    auto container = platform::NotificationCenter::defaultCenter().addObserver("ScanViewUpdateBGX", [&](const auto& n) {
        if (const ScanMenu* menu = n.template value<ScanMenu>(menuKey))
            showInWindow(*menu == ScanMenu::cleanProcess ? static_cast<QWidget&>(clean) : results);
    });
    widgettest::NotificationRecorder completions("NotifyCleanProcessCompleteBGX");
    widgettest::NotificationRecorder menus("MenuSelectionBGX");

    results.btnCleanNow->animateForButtonUp();
    ASSERT_TRUE(seams.sheetPending());
    seams.answerSheet(alertFirstButtonReturn);
    EXPECT_TRUE(clean.isVisible()) << "the clean screen follows the clean's start";
    ASSERT_TRUE(platform::dispatch::runMainLoopUntil([&] { return !completions.received().empty(); }, 30s));

    const fs::path trash = platform::userTrashPath();
    EXPECT_TRUE(fs::exists(trash / "Search Lens.app/Contents/Info.plist"));
    EXPECT_TRUE(fs::exists(trash / "com.searchlens.agent.plist"));
    EXPECT_TRUE(fs::exists(trash / "booster.db"));
    for (const std::string& path : {bundle, agent, booster})
        EXPECT_FALSE(fs::exists(path)) << path;

    EXPECT_TRUE(clean.boxCleanResult->isVisible());
    EXPECT_EQ(clean.lblCleanupStatus->text(), "Cleanup complete");
    EXPECT_EQ(clean.lblDeceptiveAppItemsDeleted->text(), "3 items removed");
    EXPECT_EQ(clean.lblYouNowHaveDeceptiveAppItems->text(), "You now have 0 deceptive app items left.");
    EXPECT_TRUE(clean.btnHome->isVisible());
    EXPECT_FALSE(clean.btnReviewApps->isVisible());
    EXPECT_FALSE(isCleanInProgress);
    EXPECT_TRUE(scanResults().empty());
    EXPECT_EQ(standardDefaults().integer(SettingsKey::totalDeceptiveAppsRemovedSoFar), 7);
    widgettest::saveGrab(window, "clean-end-to-end-result");

    const std::size_t menusBefore = menus.received().size();
    clean.btnHome->animateForButtonUp();
    ASSERT_EQ(menus.received().size(), menusBefore + 1);
    const Menu* home = menus.received().back().value<Menu>(menuKey);
    ASSERT_TRUE(home);
    EXPECT_EQ(*home, Menu::overview);
    EXPECT_TRUE(results.isVisible()) << "the container is back on the results for the next visit";
    EXPECT_EQ(results.lblTotalDeceptiveAppFound->text(), "0");
}

} // namespace
