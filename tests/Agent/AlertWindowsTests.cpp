#include "AgentTest.h"

#include "Agent/AlertNotifications.h"
#include "Agent/AlertWindows.h"
#include "Agent/CrashAlert.h"
#include "Agent/DownloadAlert.h"
#include "Agent/StartupItemAlert.h"
#include "Platform/Tools/ToolProcess.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using AlertWindowsTest = AgentTest;

// The text by which each kind's window shows the item it was handed.
QString shownItem(AlertWindows& windows, AlertKind kind)
{
    QWidget& window = *windows.windowController(kind);
    switch (kind) {
    case AlertKind::startupItem:
        return dynamic_cast<ViewControllerRT&>(window).lblNewStartupItem->text();
    case AlertKind::download:
        return dynamic_cast<DownloadProtectionViewController&>(window).lblAppNameValue->text();
    case AlertKind::crash:
        break;
    }
    return dynamic_cast<CrashesViewController&>(window).lblTitle->text();
}

TEST_F(AlertWindowsTest, AlertsOfOneKindReuseItsWindowAndShowTheNewestItem)
{
    AlertWindows windows;
    widgettest::NotificationRecorder posts(AlertNotification::newCrashReport);
    windows.showAlert(AlertKind::crash, {{AlertKey::crashReport, std::string("/reports/One_2026-01-01-000000_h.crash")}});
    QWidget* first = windows.windowController(AlertKind::crash);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(shownItem(windows, AlertKind::crash).startsWith("One "));

    first->close();
    windows.showAlert(AlertKind::crash, {{AlertKey::crashReport, std::string("/reports/Two_2026-01-01-000000_h.crash")}});
    EXPECT_EQ(windows.windowController(AlertKind::crash), first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(shownItem(windows, AlertKind::crash).startsWith("Two "));
    EXPECT_EQ(posts.received().size(), 2u);
}

TEST_F(AlertWindowsTest, EachKindHasItsOwnWindowFilledByItsOwnNotification)
{
    AlertWindows windows;
    MalwareList record;
    record.appName = "Snapfyre Search";
    record.sigInfo = "Browser hijacker";
    windows.showAlert(AlertKind::startupItem, {{AlertKey::newStartupItem, std::string("/Applications/Tool.app")},
                                               {AlertKey::startupType, std::string(StartupType::launchAgent)}});
    windows.showAlert(AlertKind::download, {{AlertKey::newDownloadedItem, std::string("/Users/me/Downloads/SnapfyreInstaller.dmg")},
                                            {AlertKey::detectedMalwareList, record}});
    windows.showAlert(AlertKind::crash, {{AlertKey::crashReport, std::string("/reports/Tool_2026-01-01-000000_h.crash")}});

    const std::vector<std::pair<AlertKind, QString>> shown{{AlertKind::startupItem, "Launch Agent"},
                                                           {AlertKind::download, "Snapfyre Search"},
                                                           {AlertKind::crash, "Tool "}};
    std::set<QWidget*> distinct;
    for (const auto& [kind, text] : shown) {
        distinct.insert(windows.windowController(kind));
        EXPECT_TRUE(shownItem(windows, kind).contains(text)) << shownItem(windows, kind).toStdString();
    }
    EXPECT_EQ(distinct.size(), 3u);
}

// Alerts come up on top of the user's work without taking the keyboard: each
// kind's window shows without activating (a click activates it), above others.
// On an X server without a window manager an activation takes the keyboard at
// once, so there an alert that activated itself would show.
TEST_F(AlertWindowsTest, AlertsShowOnTopWithoutTakingTheKeyboard)
{
    AlertWindows windows;
    for (const AlertKind kind : {AlertKind::startupItem, AlertKind::download, AlertKind::crash}) {
        windows.showAlert(kind, {});
        const QWidget& window = *windows.windowController(kind);
        EXPECT_TRUE(window.isVisible());
        EXPECT_TRUE(window.testAttribute(Qt::WA_ShowWithoutActivating));
        EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }

    const std::string xvfbRun = "/usr/bin/xvfb-run";
    if (!std::filesystem::exists(xvfbRun))
        GTEST_SKIP() << "no " << xvfbRun;
    // 0: the keyboard stayed, 1: an alert took it; anything else is a display
    // that did not come up (another test may have taken its number), tried again.
    int status = -1;
    std::string said;
    for (int attempt = 0; attempt < 3 && status != 0 && status != 1; ++attempt) {
        auto probe = platform::ToolProcess::launch(xvfbRun, {"-a", BG_ALERT_FOCUS_PROBE},
                                                   platform::ToolProcess::Capture::OutputAndError);
        ASSERT_TRUE(probe);
        said = probe->readOutputToEnd();
        status = probe->waitForExit();
    }
    EXPECT_EQ(status, 0) << said;
}

} // namespace
