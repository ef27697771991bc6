#include "AgentTest.h"

#include "Agent/AlertNotifications.h"
#include "Agent/AlertWindows.h"
#include "Agent/PayloadWindow.h"

#include <gtest/gtest.h>

namespace {

using AlertWindowsTest = AgentTest;

PayloadWindow& payloadWindow(AlertWindows& windows, AlertKind kind)
{
    return dynamic_cast<PayloadWindow&>(*windows.windowController(kind));
}

TEST_F(AlertWindowsTest, AlertsOfOneKindReuseItsWindowAndShowTheNewestItem)
{
    AlertWindows windows;
    widgettest::NotificationRecorder posts(AlertNotification::newCrashReport);
    windows.showAlert(AlertKind::crash, {{AlertKey::crashReport, std::string("/reports/One_2026-01-01-000000_h.crash")}});
    QWidget* first = windows.windowController(AlertKind::crash);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(payloadWindow(windows, AlertKind::crash).payloadText().contains("One_2026"));

    first->close();
    windows.showAlert(AlertKind::crash, {{AlertKey::crashReport, std::string("/reports/Two_2026-01-01-000000_h.crash")}});
    EXPECT_EQ(windows.windowController(AlertKind::crash), first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(payloadWindow(windows, AlertKind::crash).payloadText().contains("Two_2026"));
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
                                                           {AlertKind::download, "Snapfyre Search (Browser hijacker)"},
                                                           {AlertKind::crash, "Tool_2026"}};
    std::set<QWidget*> distinct;
    for (const auto& [kind, text] : shown) {
        auto& window = payloadWindow(windows, kind);
        distinct.insert(&window);
        EXPECT_TRUE(window.payloadText().contains(text)) << window.payloadText().toStdString();
        widgettest::saveGrab(window, QString("agent-placeholder-alert-%1").arg(static_cast<int>(kind)));
    }
    EXPECT_EQ(distinct.size(), 3u);
}

} // namespace
