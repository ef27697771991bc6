#include "AlertWindowTest.h"

#include "Agent/AlertNotifications.h"
#include "Agent/DownloadAlert.h"
#include "Controls/FlatButton.h"
#include "ImmutableFolder.h"
#include "Platform/Authorization/AuthorizationAgent.h"
#include "Platform/FileManager/FileManager.h"
#include "Platform/Tools/ToolPaths.h"
#include "Screens/Common/AuthorizationPrompt.h"
#include "Screens/Support/AuthorizationDialogAnswerer.h"
#include "StandInPkexec.h"

#include <unistd.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The agent's download alert with the agent's authorisation prompt, showing a detected
// application bundle of root's that the user (played as 501) cannot remove.
class PrivilegedDownloadRemoval : public AlertWindowTest {
protected:
    void SetUp() override
    {
        AlertWindowTest::SetUp();
        installAuthorizationPrompt();
        bundle = testsupport::plantFile(testsupport::homeFolder() / "Downloads/Snapfyre.app/Contents/Info.plist")
                     .parent_path()
                     .parent_path();
        ::setenv("PLATFORM_UID", "501", 1);
        MalwareList record;
        record.appName = "Snapfyre Search";
        showWith(alert, AlertNotification::newDownloadedItem,
                 {{AlertKey::newDownloadedItem, bundle.string()}, {AlertKey::detectedMalwareList, record}});
    }
    void TearDown() override
    {
        ::unsetenv("PLATFORM_UID");
        platform::AuthorizationAgent::reset();
        AlertWindowTest::TearDown();
    }

    // Delete, answered in the dialog by `act`.
    void pressDeleteAnd(void (*act)(AuthorizationDialog&))
    {
        screentest::AuthorizationDialogAnswerer answerer(act);
        widgettest::click(*alert.btnDelete);
        EXPECT_TRUE(answerer.shown);
        EXPECT_EQ(answerer.action.toStdString(),
                  "Moving \u201c" + bundle.string() + "\u201d to the Trash needs an administrator\u2019s rights.");
    }

    testsupport::StandInPkexec pkexec;
    DownloadProtectionViewController alert;
    fs::path bundle;
};

TEST_F(PrivilegedDownloadRemoval, AllowMovesTheBundleToTheTrashThroughPkexec)
{
    pressDeleteAnd([](AuthorizationDialog& dialog) { widgettest::click(*dialog.btnAllow); });
    const fs::path trashed = fs::path(platform::userTrashPath()) / "Snapfyre.app";
    EXPECT_FALSE(fs::exists(bundle));
    EXPECT_TRUE(fs::exists(trashed / "Contents/Info.plist"));
    const auto tool = fs::canonical(platform::resolveToolPath(platform::kPrivilegedRemoveTool)).string();
    EXPECT_EQ(pkexec.recordedCommand(), (std::vector<std::string>{tool, "trash", bundle.string(),
                                                                   platform::userTrashPath(), std::to_string(::getuid())}));
    EXPECT_EQ(alert.deleteState(), DownloadProtectionViewController::itemRemoved);
}

TEST_F(PrivilegedDownloadRemoval, CancelLeavesTheBundleAndTheAlertAsTheyWere)
{
    // The lock makes the plain removal that follows a cancel fail, as it does for a
    // user without the rights (this process really is root).
    testsupport::ImmutableFolder locked(bundle.parent_path());
    if (!locked.isSet())
        GTEST_SKIP() << "this file system or process cannot make a folder immutable";
    pressDeleteAnd([](AuthorizationDialog& dialog) { widgettest::click(*dialog.btnCancel); });
    locked.unlock();
    EXPECT_TRUE(fs::exists(bundle / "Contents/Info.plist"));
    EXPECT_TRUE(pkexec.recordedCommand().empty()) << "nothing ran with an administrator's rights";
    EXPECT_EQ(alert.deleteState(), DownloadProtectionViewController::itemPresent);
}

} // namespace
