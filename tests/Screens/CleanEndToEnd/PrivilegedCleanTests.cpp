#include "AppShellTest.h"

#include "App/AllViewControllers.h"
#include "App/AppDelegate.h"
#include "AuthorizationDialogAnswerer.h"
#include "Controls/FlatButton.h"
#include "Detection/Clean.h"
#include "Detection/Scan.h"
#include "ImmutableFolder.h"
#include "Platform/FileManager/FileManager.h"
#include "Platform/Tools/ToolPaths.h"
#include "ScreenSeams.h"
#include "Screens/Common/AuthorizationPrompt.h"
#include "Screens/Scan/CleanProcessViewController.h"
#include "Screens/Scan/OverviewViewController.h"
#include "Screens/Scan/ScanResultViewController.h"
#include "Screens/Scan/ScanViewController.h"
#include "StandInPkexec.h"
#include "WidgetTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// The application with its authorisation prompt, a known application bundle of root's
// found by a scan, and the user played as 501, who cannot remove it: Clean Now asks
// with the dialog.
class PrivilegedClean : public AppShellTest {
protected:
    void SetUp() override
    {
        AppShellTest::SetUp();
        installAuthorizationPrompt();
    }

    void launchAndScan()
    {
        app = testsupport::plantFile(testsupport::underRoot("/Applications/Qlorvex Mac Booster.app") /
                                         "Contents/Info.plist", "<plist/>")
                  .parent_path()
                  .parent_path();
        AppDelegate::shared().applicationWillFinishLaunching();
        AllViewControllers::overviewViewController().btnStartScanNow->click();
        ASSERT_TRUE(platform::dispatch::runMainLoopUntil(
            [&] { return !Scan::shared().isScanRunning && results().parentWidget() == container().containerView.data(); },
            60s));
        playUnprivilegedProcess();
        ASSERT_FALSE(platform::FileManager::defaultManager().isWritableFile(app.string()));
    }

    // Clean Now, confirmed, while `answerer` waits for the dialog; then the clean's end.
    void cleanNow(const screentest::AuthorizationDialogAnswerer& answerer)
    {
        results().btnCleanNow->click();
        seams.answerSheet(alertFirstButtonReturn);
        ASSERT_TRUE(platform::dispatch::runMainLoopUntil(
            [&] { return clean().boxCleanResult->isVisible() && !Clean::shared().isCleanRunning; }, 60s));
        EXPECT_TRUE(answerer.shown) << "the dialog came up";
        EXPECT_EQ(answerer.action.toStdString(),
                  "Moving \u201c" + app.string() + "\u201d to the Trash needs an administrator\u2019s rights.");
    }

    // What the stand-in elevation tool is asked to run for the found bundle.
    std::vector<std::string> privilegedTrashCommand() const
    {
        return {fs::canonical(platform::resolveToolPath(platform::kPrivilegedRemoveTool)).string(), "trash",
                app.string(), platform::userTrashPath(), std::to_string(::getuid())};
    }

    static ScanResultViewController& results() { return AllViewControllers::scanResultViewController(); }
    static CleanProcessViewController& clean() { return AllViewControllers::cleanProcessViewController(); }
    static ScanViewController& container() { return AllViewControllers::scanViewController(); }

    screentest::ScreenSeams seams;
    testsupport::StandInPkexec pkexec;
    fs::path app;
};

TEST_F(PrivilegedClean, AllowMovesTheBundleToTheTrashThroughPkexec)
{
    ASSERT_NO_FATAL_FAILURE(launchAndScan());
    screentest::AuthorizationDialogAnswerer allow([](AuthorizationDialog& dialog) { widgettest::click(*dialog.btnAllow); });
    ASSERT_NO_FATAL_FAILURE(cleanNow(allow));
    const fs::path trashed = fs::path(platform::userTrashPath()) / app.filename();
    EXPECT_FALSE(fs::exists(app));
    EXPECT_TRUE(fs::is_directory(trashed));
    EXPECT_EQ(pkexec.recordedCommand(), privilegedTrashCommand());
}

// The found application's own process swaps the Trash for a link to a folder of its
// choosing while the password is asked: the bundle goes nowhere, no other removal
// follows, and the clean's result names the bundle kept and why.
TEST_F(PrivilegedClean, ATrashSwappedForALinkWhileThePasswordIsAskedTakesNothing)
{
    const fs::path trash = platform::userTrashPath();
    const fs::path chosen = testsupport::underRoot("/private/etc/profile.d");
    fs::create_directories(chosen);
    testsupport::StandInPkexec swapping("mv '" + trash.string() + "' '" + trash.string() + ".old' && ln -s '" +
                                        chosen.string() + "' '" + trash.string() + "'");
    ASSERT_NO_FATAL_FAILURE(launchAndScan());
    screentest::AuthorizationDialogAnswerer allow([](AuthorizationDialog& dialog) { widgettest::click(*dialog.btnAllow); });
    testing::internal::CaptureStdout();
    ASSERT_NO_FATAL_FAILURE(cleanNow(allow));
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(swapping.recordedCommand(), privilegedTrashCommand());
    EXPECT_TRUE(fs::is_empty(chosen));
    EXPECT_TRUE(fs::is_directory(app));
    EXPECT_NE(printed.find("Too many levels of symbolic links"), std::string::npos) << printed;
    EXPECT_EQ(clean().lblKeptItems->text().toStdString(),
              "\u201cQlorvex Mac Booster.app\u201d was kept: Too many levels of symbolic links.\n"
              "\u201cInfo.plist\u201d was kept: Too many levels of symbolic links.");
    EXPECT_EQ(clean().lblDeceptiveAppItemsDeleted->text().toStdString(), "0 items removed");
    widgettest::saveGrab(*clean().window(), "clean-result-privileged-step-refused");
}

TEST_F(PrivilegedClean, CancelLeavesTheBundleInPlace)
{
    ASSERT_NO_FATAL_FAILURE(launchAndScan());
    // The lock makes the plain removal that follows a cancel fail, as it does for a
    // user without the rights (this process really is root).
    testsupport::ImmutableFolder locked(app.parent_path());
    if (!locked.isSet())
        GTEST_SKIP() << "this file system or process cannot make a folder immutable";
    screentest::AuthorizationDialogAnswerer cancel([](AuthorizationDialog& dialog) { widgettest::click(*dialog.btnCancel); });
    ASSERT_NO_FATAL_FAILURE(cleanNow(cancel));
    locked.unlock();
    EXPECT_TRUE(fs::is_directory(app));
    EXPECT_FALSE(fs::exists(fs::path(platform::userTrashPath()) / app.filename()));
    EXPECT_TRUE(pkexec.recordedCommand().empty()) << "nothing ran with an administrator's rights";
}

} // namespace
