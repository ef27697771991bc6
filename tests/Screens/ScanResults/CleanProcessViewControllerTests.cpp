#include "ResultScreensTest.h"

#include "Controls/FlatButton.h"
#include <QProgressBar>
#include "Detection/Clean.h"
#include "Detection/SharedLists.h"
#include "Foundation/IndexVocabularies.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Foundation/PresentationSlots.h"
#include "Foundation/SharedState.h"
#include "Screens/Scan/CleanProcessViewController.h"
#include "Screens/Scan/OverviewScanResults.h"
#include "Screens/Common/RecommendedAppsPanel.h"
#include "Screens/Common/ThrottledRepaint.h"
#include "Support/Widgets/AccessibleEventLog.h"
#include "Support/Widgets/WidgetTestSupport.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using screentest::resultRow;

void postProgress(std::int64_t total, std::int64_t removed, const std::string& path)
{
    platform::NotificationCenter::defaultCenter().post(
        "NotifyCleanProcessBGX", {{"totalItems", total}, {"pObj", removed}, {"path", path},
                                  {"percentage", removed * 100.0 / static_cast<double>(total)}});
}

void postCompletion(platform::UserInfo counts)
{
    auto& center = platform::NotificationCenter::defaultCenter();
    center.post("CleanViewUpdateBGX", {{menuKey, CleanMenu::result}});
    center.post("NotifyCleanProcessCompleteBGX", std::move(counts));
}

platform::UserInfo counts(std::int64_t cleaned, std::int64_t remaining, std::int64_t handled, std::int64_t aborted,
                          std::int64_t removed)
{
    return {{"cleanedItems", cleaned},  {"remainingItems", remaining}, {"pObj", handled},
            {"abortedIndex", aborted}, {"removedItems", removed}};
}

std::vector<std::string> remainingRows()
{
    std::vector<std::string> rows;
    for (const ScanResult& result : scanResults().snapshot()) {
        std::string row = result.title + (result.isSelected ? " (selected):" : ":");
        for (const ScanResultItem& item : result.items.value_or(std::vector<ScanResultItem>{}))
            row += " " + fs::path(item.path.value_or("?")).filename().string();
        rows.push_back(row);
    }
    return rows;
}

class CleanProcessScreenTest : public screentest::ResultScreensTest {
protected:
    void SetUp() override
    {
        ResultScreensTest::SetUp();
        makeScreen();
    }
    // A new screen in place of the one before (whose observers end with it).
    void makeScreen()
    {
        screenMade = std::make_unique<CleanProcessViewController>();
        showInWindow(*screenMade);
    }
    void TearDown() override
    {
        Clean::shared().isPaused = false;
        Clean::shared().isAborted = false;
        ResultScreensTest::TearDown();
    }

    std::unique_ptr<CleanProcessViewController> screenMade;
    CleanProcessViewController& screen() { return *screenMade; }
};

TEST_F(CleanProcessScreenTest, ShowsProgressPerRemovedItemAndIgnoresMalformedNotices)
{
    EXPECT_TRUE(screen().boxCleanProcess->isVisible());
    EXPECT_FALSE(screen().boxCleanResult->isVisible());
    EXPECT_EQ(screen().lblCleanningForDeceptiveApps->text(), "IDS_BGX_81");

    postProgress(4, 1, "/a/one.app");
    EXPECT_EQ(screen().lblPath->text(), "/a/one.app");
    EXPECT_EQ(screen().lblObjectCleaned->text(), "IDS_BGX_84 1/4");
    EXPECT_EQ(screen().progressIndicator->value(), 250);

    auto& center = platform::NotificationCenter::defaultCenter();
    center.post("NotifyCleanProcessBGX", {{"totalItems", 4}, {"pObj", std::int64_t{2}}, {"path", std::string("/b")},
                                          {"percentage", 50.0}}); // "totalItems" of another type
    center.post("NotifyCleanProcessBGX", {{"totalItems", std::int64_t{4}}, {"pObj", std::int64_t{2}}});
    EXPECT_EQ(screen().lblObjectCleaned->text(), "IDS_BGX_84 1/4");

    center.post("CleanViewUpdateBGX", {{menuKey, 1}}); // not a CleanMenu
    EXPECT_TRUE(screen().boxCleanProcess->isVisible());
    isCleanInProgress = true;
    center.post("CleanViewUpdateBGX", {{menuKey, CleanMenu::result}});
    EXPECT_TRUE(screen().boxCleanResult->isVisible());
    EXPECT_FALSE(screen().boxCleanProcess->isVisible());
    EXPECT_FALSE(isCleanInProgress);
}

// One notice comes per removed item: the labels follow at the repaint rate, the last
// notice is shown, and one still waiting at the completion does not undo its reset.
TEST_F(CleanProcessScreenTest, ManyNoticesChangeTheLabelsAtTheRepaintRateNotPerNotice)
{
    constexpr int items = 5000;
    widgettest::AccessibleEventLog events;
    const auto start = std::chrono::steady_clock::now();
    for (int item = 1; item <= items; ++item)
        postProgress(items, item, "/removed/" + std::to_string(item));
    platform::dispatch::runMainLoopFor(ThrottledRepaint::interval * 2);
    const auto repaints = (std::chrono::steady_clock::now() - start) / ThrottledRepaint::interval + 2;
    EXPECT_LE(events.of(QAccessible::NameChanged, screen()).size(), 2 * static_cast<std::size_t>(repaints));
    EXPECT_EQ(screen().lblPath->text(), "/removed/5000");
    EXPECT_EQ(screen().lblObjectCleaned->text(), "IDS_BGX_84 5000/5000");

    postProgress(4, 1, "/a/one.app");
    postProgress(4, 2, "/a/two.app"); // within the interval: waits
    postCompletion(counts(2, 0, 2, 0, 2));
    platform::dispatch::runMainLoopFor(ThrottledRepaint::interval * 2);
    EXPECT_EQ(screen().lblObjectCleaned->text(), "IDS_BGX_84 0/0") << "no repaint after the completion's reset";
}

TEST_F(CleanProcessScreenTest, StopPausesAsksAndThenStopsOrGoesOn)
{
    screen().btnStopClean->animateForButtonUp();
    EXPECT_TRUE(Clean::shared().isPaused);
    ASSERT_EQ(seams.sheets.size(), 1u);
    EXPECT_EQ(seams.sheets[0].messageText, "IDS_BGX_220");
    EXPECT_EQ(seams.sheets[0].informativeText, "IDS_BGX_92");
    EXPECT_TRUE(dimmingOverlay());
    seams.answerSheet(alertSecondButtonReturn);
    EXPECT_FALSE(Clean::shared().isPaused);
    EXPECT_FALSE(Clean::shared().isAborted);
    EXPECT_FALSE(dimmingOverlay());

    screen().clickedStopClean();
    seams.answerSheet(alertFirstButtonReturn);
    EXPECT_FALSE(Clean::shared().isPaused);
    EXPECT_TRUE(Clean::shared().isAborted);
    EXPECT_FALSE(dimmingOverlay());
}

// A clean stopped in the second record: the first is gone from disk, the second lost
// one path, the third was never reached; an unselected record stays as it was.
TEST_F(CleanProcessScreenTest, RowsAfterAPartialCleanAreWhatIsStillOnDisk)
{
    const std::string a1 = plantItem("A/one"), b1 = plantItem("B/one"), b2 = plantItem("B/two"),
                      c1 = plantItem("C/one"), d1 = plantItem("D/one");
    ScanResult kept = resultRow(3, "D", {d1});
    kept.isSelected = false;
    scanResults().replace({resultRow(0, "A", {a1}), resultRow(1, "B", {b1, b2}), resultRow(2, "C", {c1}), kept});
    fs::remove(a1);
    fs::remove(b1);
    widgettest::NotificationRecorder updates("UpdateScanResultBGX");
    postCompletion(counts(4, 3, 2, 1, 2));

    EXPECT_EQ(remainingRows(), (std::vector<std::string>{"B: two", "C: one", "D: one"}));
    EXPECT_EQ(screen().lblCleanupStatus->text(), "IDS_BGX_88");
    EXPECT_EQ(screen().lblDeceptiveAppItemsDeleted->text(), "2 IDS_BGX_85");
    EXPECT_EQ(screen().lblYouNowHaveDeceptiveAppItems->text(), "IDS_BGX_86");
    EXPECT_TRUE(screen().btnReviewApps->isVisible());
    EXPECT_TRUE(screen().lblReviewRemainingDeceptiveAppItems->isVisible());
    EXPECT_FALSE(screen().btnHome->isVisible());
    EXPECT_EQ(screen().lblObjectCleaned->text(), "IDS_BGX_84 0/0");
    EXPECT_EQ(updates.received().size(), 1u);
}

// The engine counts a path it could not remove as handled, not as removed, and says why.
TEST_F(CleanProcessScreenTest, AFailedRemovalIsNotShownAsRemoved)
{
    useEnglishTexts();
    makeScreen();
    CleanProcessViewController& english = screen();
    const std::string gone = plantItem("A/gone"), stuck = plantItem("A/stuck");
    scanResults().replace({resultRow(0, "A", {gone, stuck})});
    fs::remove(gone);
    platform::UserInfo completion = counts(2, 0, 2, 0, 1);
    completion["keptItems"] = std::vector<KeptItem>{{stuck, KeptReason::notRemoved, "Permission denied"}};
    postCompletion(completion);
    EXPECT_EQ(remainingRows(), (std::vector<std::string>{"A: stuck"}));
    EXPECT_EQ(english.lblKeptItems->text(), "“stuck” was kept: Permission denied.");
    EXPECT_EQ(english.lblDeceptiveAppItemsDeleted->text(), "1 item removed");
    EXPECT_EQ(english.lblYouNowHaveDeceptiveAppItems->text(), "You now have 1 deceptive app item left.");
    EXPECT_EQ(english.lblCleanupStatus->text(), "Cleanup not finished");
    EXPECT_TRUE(english.btnReviewApps->isVisible());
}

// Each item the clean kept says which and why; the next completion without one
// hides the line again.
TEST_F(CleanProcessScreenTest, AnItemTheCleanKeptIsNamedWithItsReason)
{
    useEnglishTexts();
    makeScreen();
    const std::string bundle = plantItem("Applications/Search Lens.app/Contents/Info.plist");
    const std::string app = fs::path(bundle).parent_path().parent_path().string();
    const std::string library = testsupport::homeFolder().string() + "/Library";
    scanResults().replace({resultRow(0, "Search Lens", {app, library})});
    platform::UserInfo kept = counts(2, 2, 2, 0, 0);
    kept["keptItems"] = std::vector<KeptItem>{{app, KeptReason::ignoreList}, {library, KeptReason::protectedPath}};
    postCompletion(kept);

    EXPECT_TRUE(screen().lblKeptItems->isVisible());
    EXPECT_EQ(screen().lblKeptItems->text(),
              "“Search Lens.app” was kept: it holds a path you keep on the ignore list.\n"
              "“Library” was kept: your system or your account needs it.");
    EXPECT_EQ(widgettest::shownToolTip(screen().lblKeptItems->toolTip()), QString::fromStdString(app + "\n" + library));
    EXPECT_EQ(screen().lblCleanupStatus->text(), "Cleanup not finished");
    widgettest::saveGrab(window, "clean-result-items-kept");

    postCompletion(counts(0, 2, 0, 0, 0));
    EXPECT_FALSE(screen().lblKeptItems->isVisible());
}

// A kept item's name comes from the definitions: markup in it is drawn as text.
TEST_F(CleanProcessScreenTest, MarkupInAKeptItemsNameIsDrawnAsText)
{
    useEnglishTexts();
    makeScreen();
    const std::string name = "<h1><b>Search <u>Lens<br>&amp;.app"; // a file name holds no "/"
    const std::string app = plantItem("Applications/" + name + "/Contents/Info.plist");
    const std::string bundle = fs::path(app).parent_path().parent_path().string();
    scanResults().replace({resultRow(0, "Search Lens", {bundle})});
    platform::UserInfo kept = counts(1, 1, 1, 0, 0);
    kept["keptItems"] = std::vector<KeptItem>{{bundle, KeptReason::notRemoved, "Permission denied"}};
    postCompletion(kept);
    EXPECT_EQ(screen().lblKeptItems->textFormat(), Qt::PlainText);
    EXPECT_EQ(screen().lblKeptItems->text().toStdString(), "\u201c" + name + "\u201d was kept: Permission denied.");
    widgettest::saveGrab(window, "clean-result-markup-in-a-kept-name");
}

// What is left after a clean is judged as the hand-over judged what was found, links too.
TEST_F(CleanProcessScreenTest, WhatRemainsOnDiskIsJudgedAsTheHandOverListsIt)
{
    const std::string target = plantItem("Links/target");
    const std::string link = testsupport::homeFolder().string() + "/Links/link";
    const std::string dangling = testsupport::homeFolder().string() + "/Links/dangling";
    fs::create_symlink(target, link);
    fs::create_symlink(target + ".gone", dangling);
    const struct {
        std::string path;
        bool remains;
    } cases[] = {{target, true}, {link, true}, {dangling, false}, {target + ".absent", false}};
    for (const auto& each : cases) {
        SCOPED_TRACE(each.path);
        MalwareList record;
        record.appName = "A";
        record.paths = std::vector<Paths>{{0, 0, 1, Path{each.path, std::nullopt}, std::nullopt}};
        EXPECT_EQ(scanResultsFrom({record}, {}).size(), each.remains ? 1u : 0u) << "the hand-over";
        scanResults().replace({resultRow(0, "A", {each.path})});
        postCompletion(counts(1, 0, 1, 0, each.remains ? 0 : 1));
        EXPECT_EQ(remainingRows(), each.remains ? std::vector<std::string>{"A: " + fs::path(each.path).filename().string()}
                                                : std::vector<std::string>{})
            << "the clean";
    }
}

TEST_F(CleanProcessScreenTest, ACompleteCleanLeavesOnlyTheUnselectedAndOffersHomeWhenNothingRemains)
{
    const std::string a1 = plantItem("A/one"), a2 = plantItem("A/two");
    scanResults().replace({resultRow(0, "A", {a1, a2})});
    fs::remove(a1);
    fs::remove(a2);
    postCompletion(counts(2, 0, 2, 0, 2));
    EXPECT_TRUE(scanResults().empty());
    EXPECT_EQ(screen().lblCleanupStatus->text(), "IDS_BGX_74");
    EXPECT_EQ(screen().lblDeceptiveAppItemsDeleted->text(), "2 IDS_BGX_85");
    EXPECT_TRUE(screen().btnHome->isVisible());
    EXPECT_FALSE(screen().btnReviewApps->isVisible());
    EXPECT_FALSE(screen().lblReviewRemainingDeceptiveAppItems->isVisible());
}

TEST_F(CleanProcessScreenTest, ACompletionLackingACountChangesNothing)
{
    const std::string a1 = plantItem("A/one");
    scanResults().replace({resultRow(0, "A", {a1})});
    fs::remove(a1);
    widgettest::NotificationRecorder updates("UpdateScanResultBGX");
    platform::UserInfo partial = counts(1, 0, 1, 0, 1);
    partial.erase("abortedIndex");
    postCompletion(partial);
    EXPECT_EQ(remainingRows(), (std::vector<std::string>{"A (selected): one"}));
    EXPECT_TRUE(updates.received().empty());
}

TEST_F(CleanProcessScreenTest, ReviewReturnsToTheResultsAndHomeToTheOverview)
{
    std::vector<std::string> order;
    auto& center = platform::NotificationCenter::defaultCenter();
    auto scanSwitch = center.addObserver("ScanViewUpdateBGX", [&](const auto& n) {
        order.push_back(n.template value<ScanMenu>(menuKey) && *n.template value<ScanMenu>(menuKey) == ScanMenu::scanresult
                            ? "results" : "?");
    });
    auto menu = center.addObserver("MenuSelectionBGX", [&](const auto& n) {
        order.push_back(n.template value<Menu>(menuKey) && *n.template value<Menu>(menuKey) == Menu::overview ? "overview"
                                                                                                              : "?");
    });
    isCleanInProgress = true;
    screen().btnReviewApps->animateForButtonUp();
    EXPECT_EQ(order, std::vector<std::string>{"results"});
    EXPECT_FALSE(isCleanInProgress);

    order.clear();
    isCleanInProgress = true;
    isScanResultsShown = true;
    screen().btnHome->animateForButtonUp();
    EXPECT_EQ(order, (std::vector<std::string>{"results", "overview"}));
    EXPECT_FALSE(isCleanInProgress);
    EXPECT_FALSE(isScanResultsShown);
}

TEST_F(CleanProcessScreenTest, SocialButtonsOpenTheMakersPages)
{
    screen().btnTwitter->click();
    screen().btnFacebook->click();
    ASSERT_EQ(seams.openedURLs.size(), 2u);
    EXPECT_NE(seams.openedURLs[0].find("twitter"), std::string::npos);
    EXPECT_NE(seams.openedURLs[1].find("facebook"), std::string::npos);
}

TEST_F(CleanProcessScreenTest, GrabsProgressAndResult)
{
    useEnglishTexts();
    makeScreen();
    postProgress(5, 2, "/Users/jane/Applications/Search Lens.app");
    widgettest::saveGrab(window, "clean-progress");
    setSheetPresenter({}); // the real sheet, for its look
    screen().btnStopClean->click();
    widgettest::saveGrab(window, "clean-progress-stop-dimmed");
    const auto boxes = window.findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 1);
    widgettest::saveGrab(*boxes.front(), "clean-progress-stop-sheet");
    boxes.front()->buttons().at(1)->click();
    EXPECT_FALSE(Clean::shared().isPaused);

    const std::string left = plantItem("Library/LaunchAgents/com.searchlens.agent.plist");
    scanResults().replace({resultRow(0, "Search Lens", {left}), resultRow(1, "Mac Booster", {"/gone/Booster.app"})});
    postCompletion(counts(2, 1, 2, 0, 1));
    widgettest::saveGrab(window, "clean-result-partial");

    scanResults().replace({resultRow(0, "Search Lens", {"/gone/Search Lens.app"})});
    postCompletion(counts(1, 0, 1, 0, 1));
    widgettest::saveGrab(window, "clean-result-complete");
}

} // namespace
