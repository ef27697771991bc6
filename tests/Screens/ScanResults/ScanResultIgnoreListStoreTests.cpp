// The results screen when the ignore list's store fails it: a path that could not be
// kept stays in the results, and no clean runs while the list cannot be read.
#include "ResultScreensTest.h"

#include "Controls/FlatButton.h"
#include "Detection/Clean.h"
#include "Detection/SharedLists.h"
#include "Foundation/PresentationSlots.h"
#include "Foundation/Settings.h"
#include "Foundation/SharedState.h"
#include "Screens/Common/ConfirmationSheet.h"
#include "Screens/Scan/ScanResultTableModel.h"
#include "Screens/Scan/ScanResultViewController.h"
#include "Support/FilePermissionsObeyed.h"
#include "Support/Widgets/WidgetTestSupport.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using screentest::resultRow;

class ScanResultIgnoreListStoreTest : public screentest::ResultScreensTest {
protected:
    void SetUp() override
    {
        ResultScreensTest::SetUp();
        ASSERT_TRUE(appGroupDefaults());
        ASSERT_TRUE(appGroupDefaults()->setObject(SettingsKey::ignoreAllPaths, platform::Array{"/Users/kept"}));
        app = plantItem("Applications/Snapfyre Search.app/Contents/Info.plist");
        app = fs::path(app).parent_path().parent_path().string();
        helper = plantItem("Library/Application Support/Snapfyre/helper.log");
        scanResults().replace({resultRow(0, "Snapfyre Search", {app, helper})});
        showInWindow(screen);
        screen.clickedShowDetailsResultItem(0);
    }

    fs::path suiteFolder() const { return fs::path(appGroupDefaults()->plistPath()).parent_path(); }

    // The rows as shown: "P<id>" for a record, the path of a path row, and whether the record is ticked.
    std::vector<std::string> shownRows() const
    {
        std::vector<std::string> names;
        for (int row = 0; row < screen.resultsModel->rowCount(); ++row)
            names.push_back(screen.resultsModel->recordIdAt(row) ? "P" + std::to_string(*screen.resultsModel->recordIdAt(row))
                                                                 : screen.resultsModel->pathAt(row).value_or("?"));
        return names;
    }

    std::string app;
    std::string helper;
    ScanResultViewController screen;
};

// The suite's folder unwritable while the application runs: Add to Ignore List says
// on the not-saved sheet that the path is not kept, and the row stays, ticked.
TEST_F(ScanResultIgnoreListStoreTest, APathThatCouldNotBeKeptStaysInTheResultsTicked)
{
    const std::string stored = testsupport::readFileText(appGroupDefaults()->plistPath());
    fs::permissions(suiteFolder(), fs::perms(0555));
    {
        const testsupport::FilePermissionsObeyed obeyed;
        if (!obeyed.isSet())
            GTEST_SKIP() << "this process cannot give up its file access override";
        const std::vector<std::string> before = shownRows();
        screen.menuWillOpen(2);
        screen.mainMenu->actions()[0]->trigger();
        ASSERT_EQ(seams.sheets.size(), 1u);
        EXPECT_EQ(seams.sheets[0].messageText, "IDS_BGX_270");
        EXPECT_EQ(seams.sheets[0].informativeText, "IDS_BGX_271");
        EXPECT_EQ(shownRows(), before);
        EXPECT_EQ(screen.lblTotalDeceptiveAppFound->text(), "2");
        const auto results = scanResults().snapshot();
        ASSERT_EQ(results.size(), 1u);
        EXPECT_TRUE(results[0].isSelected);
        EXPECT_EQ(results[0].items->size(), 2u);
    }
    fs::permissions(suiteFolder(), fs::perms(0755));
    EXPECT_EQ(testsupport::readFileText(appGroupDefaults()->plistPath()), stored);
}

// The suite's file left to another user, unreadable: Clean Now says on a sheet that the
// ignore list cannot be read and starts no clean, also when the file is taken away
// while the confirmation is up. Given back, the clean asks as before.
TEST_F(ScanResultIgnoreListStoreTest, NoCleanRunsWhileTheIgnoreListCannotBeRead)
{
    const fs::path suite = appGroupDefaults()->plistPath();
    const auto refusedSheet = [&](std::size_t index) {
        ASSERT_GT(seams.sheets.size(), index);
        EXPECT_EQ(seams.sheets[index].messageText, "IDS_BGX_272");
        EXPECT_EQ(seams.sheets[index].informativeText, "IDS_BGX_273");
        EXPECT_EQ(seams.sheets[index].buttons, std::vector<std::string>{"IDS_BGX_170"});
    };
    {
        testsupport::UnopenableFile unopenable(suite);
        const testsupport::FilePermissionsObeyed obeyed;
        if (!obeyed.isSet())
            GTEST_SKIP() << "this process cannot give up its file access override";
        screen.clickedCleanNow();
        refusedSheet(0);
        seams.answerSheet(alertFirstButtonReturn);

        unopenable.readable();
        screen.clickedCleanNow();
        ASSERT_EQ(seams.sheets.size(), 2u);
        EXPECT_EQ(seams.sheets[1].messageText, "IDS_BGX_67");
        fs::permissions(suite, fs::perms::none); // taken away under the confirmation
        seams.answerSheet(alertFirstButtonReturn);
        refusedSheet(2);
        seams.answerSheet(alertFirstButtonReturn);
        EXPECT_FALSE(isCleanInProgress);
        EXPECT_FALSE(Clean::shared().isCleanRunning);
    }
    EXPECT_TRUE(fs::exists(app));
    EXPECT_TRUE(fs::exists(helper));
    EXPECT_FALSE(dimmingOverlay());

    screen.clickedCleanNow();
    ASSERT_EQ(seams.sheets.size(), 4u);
    EXPECT_EQ(seams.sheets[3].messageText, "IDS_BGX_67");
    seams.answerSheet(alertSecondButtonReturn);
}

TEST_F(ScanResultIgnoreListStoreTest, GrabTheUnreadableIgnoreListSheet)
{
    useEnglishTexts();
    ScanResultViewController shown;
    showInWindow(shown);
    testsupport::UnopenableFile unopenable(appGroupDefaults()->plistPath());
    const testsupport::FilePermissionsObeyed obeyed;
    if (!obeyed.isSet())
        GTEST_SKIP() << "this process cannot give up its file access override";
    setSheetPresenter({}); // the real sheet, for its look
    shown.btnCleanNow->click();
    const auto boxes = window.findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 1);
    widgettest::saveGrab(window, "scan-results-ignore-list-unreadable-dimmed");
    widgettest::saveGrab(*boxes.front(), "scan-results-ignore-list-unreadable-sheet");
    boxes.front()->buttons().at(0)->click();
    EXPECT_FALSE(dimmingOverlay());
    EXPECT_FALSE(isCleanInProgress);
}

} // namespace
