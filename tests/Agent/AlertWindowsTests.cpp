#include "AgentTest.h"

#include "Agent/AlertNotifications.h"
#include "Agent/AlertWindows.h"
#include "Agent/CrashAlert.h"
#include "Agent/DownloadAlert.h"
#include "Agent/StartupItemAlert.h"
#include "Platform/Tools/ToolProcess.h"

#include <QApplication>
#include <QTest>
#include <QTextDocument>

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

// Escape acts as each alert's close button once the alert has the keyboard.
TEST_F(AlertWindowsTest, EscapeClosesEachKindOfAlert)
{
    AlertWindows windows;
    for (const AlertKind kind : {AlertKind::startupItem, AlertKind::download, AlertKind::crash}) {
        windows.showAlert(kind, {});
        QWidget& window = *windows.windowController(kind);
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_Escape);
        EXPECT_FALSE(window.isVisible());
    }
}

} // namespace

namespace {

const std::string markupName = "<b>Bold</b> <font color=red>Helper</font>";
const std::string markupFileName = "<b>Bold <font color=red>Helper"; // no "/" in a file's name

// Names and paths come from the definitions and the file system: each alert
// shows them as they stand, never as markup; a path or a word too long for its
// line is cut in the middle and whole in the tool tip, a text shown whole has none.
TEST_F(AlertWindowsTest, NamesAndPathsFromOutsideAreShownAsTheyStand)
{
    AlertWindows windows;
    MalwareList record;
    record.appName = markupName;
    record.sigInfo = "<i>Adware</i>";
    record.publisher = std::vector<Publisher>{{1, 1, "<u>Brightlane</u> &amp; Co", "<s>2.1</s>", {}}};
    const std::string download = "/Users/someone/Downloads/" + markupFileName + " Companion for the Brightlane Media Suite.dmg";
    windows.showAlert(AlertKind::download, {{AlertKey::newDownloadedItem, download}, {AlertKey::detectedMalwareList, record}});
    windows.showAlert(AlertKind::startupItem, {{AlertKey::newStartupItem, "/Applications/" + markupFileName + ".app"},
                                               {AlertKey::startupType, std::string(StartupType::loginItem)}});
    windows.showAlert(AlertKind::crash, {{AlertKey::crashReport, "/reports/" + markupFileName + "_2026-01-01-000000_h.crash"}});
    QApplication::processEvents();
    auto& downloadAlert = dynamic_cast<DownloadProtectionViewController&>(*windows.windowController(AlertKind::download));
    auto& startupAlert = dynamic_cast<ViewControllerRT&>(*windows.windowController(AlertKind::startupItem));
    auto& crashAlert = dynamic_cast<CrashesViewController&>(*windows.windowController(AlertKind::crash));

    const std::vector<std::pair<QLabel*, QString>> shown{
        {downloadAlert.lblAppNameValue, QString::fromStdString(markupName)},
        {downloadAlert.lblThreatValue, "<i>Adware</i>"},
        {downloadAlert.lblCompanyValue, "<u>Brightlane</u> &amp; Co"},
        {downloadAlert.lblVersionValue, "<s>2.1</s>"},
        {downloadAlert.lblPathValue, QString::fromStdString(download)},
        {startupAlert.lblStartupItem, QString::fromStdString(markupFileName + ".app")},
        {crashAlert.lblTitle, QString::fromStdString(markupFileName) + " quit unexpectedly."},
    };
    for (const auto& [label, text] : shown) {
        EXPECT_EQ(label->text().toStdString(), text.toStdString());
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << text.toStdString();
    }
    EXPECT_EQ(widgettest::shownToolTip(downloadAlert.lblPathValue->toolTip()).toStdString(), download) << "cut";
    for (const QLabel* whole : {downloadAlert.lblAppNameValue, crashAlert.lblTitle,
                                static_cast<QLabel*>(startupAlert.lblStartupItem)})
        EXPECT_TRUE(whole->toolTip().isEmpty()) << whole->text().toStdString();
    widgettest::saveGrab(downloadAlert, "DownloadAlert-markup-in-names");
    widgettest::saveGrab(startupAlert, "StartupItemAlert-markup-in-name");
    widgettest::saveGrab(crashAlert, "CrashAlert-markup-in-name");

    // A name of one word longer than its line: cut in the middle, the rest of the text wraps.
    const std::string longName = "BrightlaneMediaCompanionHelperForSafariAndChromeWithAnEvenLongerName";
    record.appName = longName;
    downloadAlert.close();
    windows.showAlert(AlertKind::download, {{AlertKey::newDownloadedItem, download}, {AlertKey::detectedMalwareList, record}});
    crashAlert.close();
    windows.showAlert(AlertKind::crash, {{AlertKey::crashReport, "/reports/" + longName + "_2026-01-01-000000_h.crash"}});
    QApplication::processEvents();
    EXPECT_EQ(widgettest::shownToolTip(downloadAlert.lblAppNameValue->toolTip()).toStdString(), longName);
    EXPECT_EQ(widgettest::shownToolTip(crashAlert.lblTitle->toolTip()).toStdString(), longName + " quit unexpectedly.");
    EXPECT_TRUE(crashAlert.lblTitle->text().contains(QChar(0x2026))) << "cut in the middle";
    widgettest::saveGrab(downloadAlert, "DownloadAlert-long-name");
    widgettest::saveGrab(crashAlert, "CrashAlert-long-name");
}

} // namespace
