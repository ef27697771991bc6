#include "AlertWindowTest.h"

#include "Agent/AlertNotifications.h"
#include "Agent/AlertWindows.h"
#include "Agent/DownloadAlert.h"
#include "Controls/FlatButton.h"
#include "Controls/HandCursorButton.h"
#include "FilePermissionsObeyed.h"
#include "ImmutableFolder.h"
#include "Platform/Authorization/AuthorizationAgent.h"
#include "Platform/FileManager/FileManager.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <filesystem>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using platform::AuthorizationAgent;
using platform::AuthorizationAnswer;

MalwareList snapfyreRecord()
{
    MalwareList record;
    record.appName = "Snapfyre Search";
    record.sigInfo = "Browser hijacker";
    record.publisher = std::vector<Publisher>{{1, 1, "Snapfyre Ltd", "2.1", {}},
                                              {2, 1, std::nullopt, "2.4", {}},
                                              {3, 1, "Brightlane Media", std::nullopt, {}}};
    return record;
}

class DownloadAlertTest : public AlertWindowTest {
protected:
    void SetUp() override
    {
        AlertWindowTest::SetUp();
        item = testsupport::plantFile(testsupport::homeFolder() / "Downloads/SnapfyreInstaller.dmg", "dmg");
        alert = std::make_unique<DownloadProtectionViewController>();
    }
    void TearDown() override
    {
        AuthorizationAgent::reset();
        AlertWindowTest::TearDown();
    }

    void post(const fs::path& path, const MalwareList& record = snapfyreRecord())
    {
        showWith(*alert, AlertNotification::newDownloadedItem,
                 {{AlertKey::newDownloadedItem, path.string()}, {AlertKey::detectedMalwareList, record}});
    }

    // Presses Delete and returns what it printed.
    std::string pressDelete()
    {
        testing::internal::CaptureStdout();
        widgettest::click(*alert->btnDelete);
        return testing::internal::GetCapturedStdout();
    }

    void expectOffered()
    {
        EXPECT_EQ(alert->deleteState(), DownloadProtectionViewController::itemPresent);
        EXPECT_EQ(alert->btnDelete->text(), text("IDS_BGX_41"));
        EXPECT_EQ(alert->lblAttention->text(), text("IDS_BGX_58"));
        EXPECT_FALSE(alert->btnIgnoreThisApp->isHidden());
        EXPECT_TRUE(alert->isVisible());
    }

    void expectRemoved()
    {
        EXPECT_EQ(alert->deleteState(), DownloadProtectionViewController::itemRemoved);
        EXPECT_EQ(alert->btnDelete->text(), text("IDS_BGX_170"));
        EXPECT_EQ(alert->lblMessage->text(), text("IDS_BGX_182"));
        EXPECT_TRUE(alert->btnIgnoreThisApp->isHidden());
    }

    static std::optional<platform::Array> alertedPaths()
    {
        return standardDefaults().array(SettingsKey::newDownloadPathsWithNags);
    }

    std::unique_ptr<DownloadProtectionViewController> alert;
    fs::path item;
    const fs::path trash = platform::userTrashPath();
};

TEST_F(DownloadAlertTest, APostedRecordShowsItsNameThreatPublishersVersionsAndPath)
{
    post(item);
    EXPECT_EQ(alert->path(), item.string());
    EXPECT_EQ(alert->lblAppNameValue->text(), "Snapfyre Search");
    EXPECT_EQ(alert->lblThreatValue->text(), "Browser hijacker");
    EXPECT_EQ(alert->lblCompanyValue->text(), "Snapfyre Ltd, Brightlane Media");
    EXPECT_EQ(alert->lblVersionValue->text(), "2.1, 2.4");
    EXPECT_EQ(alert->lblPathValue->text(), QString::fromStdString(item.string()));
    EXPECT_EQ(alert->lblCompanyCaps->text(), text("IDS_BGX_64") + ":");
    EXPECT_EQ(alert->lblAppName->text(), text("IDS_BGX_1"));
    expectOffered();
    widgettest::saveGrab(*alert, "DownloadAlert-found");

    MalwareList wordy = snapfyreRecord();
    wordy.appName = "Snapfyre Search Companion and Browser Homepage Assistant";
    wordy.sigInfo = "Browser hijacker that replaces the search engine";
    wordy.publisher->push_back({4, 1, "Orlundo Apps International Distribution Services", "10.14.2 (build 4471)", {}});
    alert->close();
    post(testsupport::homeFolder() / "Downloads/Snapfyre Search Companion Installer for Every Browser.dmg", wordy);
    widgettest::saveGrab(*alert, "DownloadAlert-long-texts");
}

// The record's texts and the file name come from outside: markup in them is text.
TEST_F(DownloadAlertTest, MarkupInTheRecordAndTheFileNameIsShownAsTyped)
{
    MalwareList marked = snapfyreRecord();
    marked.appName = "<b>Snap</b> <i>Search</i>";
    marked.sigInfo = "<i>Browser</i> hijacker";
    marked.publisher = std::vector<Publisher>{{1, 1, "<u>Snapfyre</u> Ltd", "<br>2.1", {}}};
    post(testsupport::plantFile(testsupport::homeFolder() / "Downloads/<h1>Setup&amp;.dmg"), marked);
    EXPECT_EQ(alert->lblAppNameValue->text().toStdString(), *marked.appName);
    int shown = 0;
    for (const QLabel* label : alert->findChildren<QLabel*>()) {
        if (label->text().isEmpty())
            continue;
        ++shown;
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
    }
    EXPECT_GT(shown, 8);
    widgettest::saveGrab(*alert, "DownloadAlert-markup-as-typed");
}

TEST_F(DownloadAlertTest, PublisherTextsSkipMissingValues)
{
    MalwareList noRows;
    MalwareList emptyRows;
    emptyRows.publisher = std::vector<Publisher>{{}, {}};
    for (const auto& record : {noRows, emptyRows}) {
        const PublisherTexts texts = publisherTexts(record);
        EXPECT_EQ(texts.company, "");
        EXPECT_EQ(texts.version, "");
    }
}

TEST_F(DownloadAlertTest, AMistypedPayloadChangesNothing)
{
    showWith(*alert, AlertNotification::newDownloadedItem, {{AlertKey::newDownloadedItem, 42}});
    EXPECT_EQ(alert->path(), std::nullopt);
    showWith(*alert, AlertNotification::newDownloadedItem,
             {{AlertKey::newDownloadedItem, item.string()}, {AlertKey::detectedMalwareList, 1}});
    EXPECT_EQ(alert->path(), item.string());
    EXPECT_EQ(alert->lblPathValue->text(), "");
    EXPECT_EQ(alert->lblAppNameValue->text(), "");
}

TEST_F(DownloadAlertTest, DeleteMovesToTheTrashThenTheSameButtonCloses)
{
    standardDefaults().setObject(SettingsKey::newDownloadPathsWithNags, platform::Array{item.string()});
    post(item);
    EXPECT_EQ(pressDelete(), "");
    EXPECT_FALSE(fs::exists(item));
    EXPECT_TRUE(fs::exists(trash / "SnapfyreInstaller.dmg"));
    expectRemoved();
    widgettest::saveGrab(*alert, "DownloadAlert-removed");

    pressDelete();
    EXPECT_FALSE(alert->isVisible());
    EXPECT_EQ(alertedPaths(), platform::Array{});
    EXPECT_EQ(alert->path(), std::nullopt);
}

// Once the user has given the alert the keyboard: Tab shows the ring on Delete, Return
// presses the focused button or else Delete (OK once the item is gone).
TEST_F(DownloadAlertTest, TheKeyboardReachesDeleteAndReturnPressesTheFocusedOrTheMainButton)
{
    post(item);
    alert->activateWindow(); // as the user's click on it does
    ASSERT_TRUE(QTest::qWaitForWindowActive(alert.get()));
    alert->btnIgnoreThisApp->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), alert->btnDelete);
    widgettest::saveGrab(*alert, "DownloadAlert-delete-focused");

    alert->btnDelete->clearFocus(); // Return on the body: the main button
    testing::internal::CaptureStdout();
    QTest::keyClick(alert.get(), Qt::Key_Return);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(fs::exists(trash / "SnapfyreInstaller.dmg"));
    expectRemoved();
    QTest::keyClick(alert.get(), Qt::Key_Enter);
    EXPECT_FALSE(alert->isVisible()) << "OK closes";

    const fs::path other = testsupport::plantFile(testsupport::homeFolder() / "Downloads/Other.dmg", "dmg");
    post(other);
    alert->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(alert.get()));
    alert->btnIgnoreThisApp->setFocus(Qt::TabFocusReason);
    QTest::keyClick(alert->btnIgnoreThisApp, Qt::Key_Return);
    EXPECT_FALSE(alert->isVisible());
    EXPECT_TRUE(fs::exists(other)) << "Return pressed the focused Ignore This App, not Delete";
}

TEST_F(DownloadAlertTest, DeleteRemovesForGoodWhenTheSettingSaysSo)
{
    appGroupDefaults()->setBool(SettingsKey::moveDeletedToTrash, false);
    post(item);
    pressDelete();
    EXPECT_FALSE(fs::exists(item));
    EXPECT_FALSE(fs::exists(trash / "SnapfyreInstaller.dmg"));
    expectRemoved();
}

// The alert says why Delete failed, as the clean's result line does, and offers
// Delete again; the next item shown has the first state's texts.
TEST_F(DownloadAlertTest, AFailedRemovalSaysWhyAndKeepsTheFirstState)
{
    // A Trash that is a file: the move fails.
    fs::remove_all(trash);
    testsupport::plantFile(trash);
    post(item);
    EXPECT_NE(pressDelete().find(item.string()), std::string::npos);
    EXPECT_TRUE(fs::exists(item));
    expectOffered();
    EXPECT_EQ(alert->path(), item.string());
    EXPECT_EQ(alert->lblSubMessage->text().toStdString(), "\u201cSnapfyreInstaller.dmg\u201d was kept: Not a directory.");
    widgettest::saveGrab(*alert, "DownloadAlert-delete-failed");

    alert->close();
    post(item);
    EXPECT_EQ(alert->lblSubMessage->text(), text("IDS_BGX_180"));
}

TEST_F(DownloadAlertTest, ProtectedPathsAreNeverRemoved)
{
    const auto downloads = testsupport::homeFolder() / "Downloads";
    const auto link = downloads / "Documents.app";
    fs::create_directory_symlink(testsupport::homeFolder() / "Documents", link);
    for (const auto& path : {downloads, link}) {
        post(path);
        EXPECT_NE(pressDelete().find("protected"), std::string::npos) << path;
        EXPECT_TRUE(fs::exists(fs::symlink_status(path))) << path;
        expectOffered();
        const std::string shown = fs::path(alert->path().value_or("")).filename().string();
        EXPECT_EQ(alert->lblSubMessage->text().toStdString(),
                  "\u201c" + shown + "\u201d was kept: your system or your account needs it.")
            << path;
    }
    EXPECT_FALSE(fs::exists(trash / "Documents.app"));
}

TEST_F(DownloadAlertTest, AnUnwritableBundleGoesThroughThePrivilegedRemover)
{
    const auto bundle = testsupport::plantFile(testsupport::homeFolder() / "Downloads/Snapfyre.app/Contents/Info.plist")
                            .parent_path()
                            .parent_path();
    testsupport::ImmutableFolder locked(bundle);
    if (!locked.isSet())
        GTEST_SKIP() << "this file system or process cannot make a folder immutable";
    ASSERT_FALSE(platform::FileManager::defaultManager().isWritableFile(bundle.string()));
    int requests = 0;
    const auto answer = [&](AuthorizationAnswer given) {
        AuthorizationAgent::setPrompt([&, given](const platform::AuthorizationRequest&) {
            ++requests;
            // The administrator's rights stand for lifting the lock.
            if (given == AuthorizationAnswer::Grant)
                locked.unlock();
            return given;
        });
    };
    post(bundle);

    answer(AuthorizationAnswer::Cancel);
    EXPECT_NE(pressDelete().find(bundle.string()), std::string::npos) << "the plain removal's failure";
    EXPECT_EQ(requests, 1);
    EXPECT_TRUE(fs::exists(bundle));
    expectOffered();

    answer(AuthorizationAnswer::Grant);
    EXPECT_EQ(pressDelete(), "");
    EXPECT_EQ(requests, 2);
    EXPECT_FALSE(fs::exists(bundle));
    EXPECT_TRUE(fs::exists(trash / "Snapfyre.app/Contents/Info.plist"));
    expectRemoved();
}

// A bundle of someone else's in the user's Downloads, its Contents the user's; the
// user played as 501 with the kernel refusing what a user may not do: after Cancel
// no removal with the user's rights follows, which would empty the Contents.
TEST_F(DownloadAlertTest, CancelRemovesNothingWhereOnlyAnAdministratorMayRemove)
{
    appGroupDefaults()->setBool(SettingsKey::moveDeletedToTrash, false);
    const auto bundle = testsupport::plantFile(testsupport::homeFolder() / "Downloads/Snapfyre.app/Contents/Info.plist")
                            .parent_path()
                            .parent_path();
    ASSERT_EQ(::chown(bundle.c_str(), 65534, 65534), 0);
    ::setenv("PLATFORM_UID", "501", 1);
    AuthorizationAgent::setPrompt([](const platform::AuthorizationRequest&) { return AuthorizationAnswer::Cancel; });
    post(bundle);
    {
        testsupport::FilePermissionsObeyed obeyed;
        if (!obeyed.isSet())
            GTEST_SKIP() << "the kernel cannot be made to refuse here";
        EXPECT_NE(pressDelete().find("an administrator\u2019s rights were not given"), std::string::npos);
    }
    ::unsetenv("PLATFORM_UID");
    EXPECT_TRUE(fs::exists(bundle / "Contents/Info.plist"));
    expectOffered();
}

// Hits that come while one is shown wait their turn; each close takes only the
// path the user was shown off the alerted list, then shows the next.
TEST_F(DownloadAlertTest, HitsThatComeWhileOneIsShownWaitAndEachCloseDismissesOnlyTheShownOne)
{
    const auto second = testsupport::plantFile(testsupport::homeFolder() / "Desktop/SnapfyreSetup.pkg");
    const std::string other = "/Users/someone/Downloads/Other.dmg";
    standardDefaults().setObject(SettingsKey::newDownloadPathsWithNags,
                                 platform::Array{item.string(), other, second.string(), item.string()});
    post(item);
    post(second);
    post(item); // the same alert again
    EXPECT_EQ(alert->lblPathValue->text(), QString::fromStdString(item.string()));
    EXPECT_EQ(alert->queuePlace().text(), "1 " + text("IDS_BGX_261") + " 2");

    widgettest::click(*alert->btnClose);
    EXPECT_TRUE(alert->isVisible());
    EXPECT_EQ(alert->path(), second.string());
    EXPECT_EQ(alert->lblPathValue->text(), QString::fromStdString(second.string()));
    EXPECT_EQ(alertedPaths(), (platform::Array{other, second.string()}));

    widgettest::click(*alert->btnClose);
    EXPECT_FALSE(alert->isVisible());
    EXPECT_EQ(alertedPaths(), platform::Array{other});
    EXPECT_EQ(alert->path(), std::nullopt);

    // An absent list stays absent; a mistyped one is left as it is.
    for (const platform::Value& stored : {platform::Value(), platform::Value(std::string("mistyped"))}) {
        standardDefaults().setObject(SettingsKey::newDownloadPathsWithNags, stored);
        post(item);
        widgettest::click(*alert->btnClose);
        EXPECT_EQ(standardDefaults().object(SettingsKey::newDownloadPathsWithNags),
                  stored.isNull() ? std::nullopt : std::optional(stored));
    }
}

// Three matching downloads renamed in together: the alert shows them one after
// another, each can be deleted, and none is left listed as alerted unseen.
TEST_F(DownloadAlertTest, ThreeDownloadsInARowAreEachShownAndDeletable)
{
    widgettest::NotificationRecorder posts(AlertNotification::newDownloadedItem);
    startAgent();
    const auto downloads = testsupport::homeFolder() / "Downloads";
    const std::vector<std::string> names{"OrlundoInstaller.dmg", "SnapfyreInstaller.dmg", "Qlorvex Mac Booster.app"};
    std::vector<std::string> renamed;
    for (const auto& name : names)
        renamed.push_back(renameInto(downloads, name).string());
    ASSERT_TRUE(waitForPosts(posts, names.size()));
    auto& shown = dynamic_cast<DownloadProtectionViewController&>(
        *delegate->alertWindows().windowController(AlertKind::download));
    EXPECT_EQ(shown.queuePlace().text(), "1 " + text("IDS_BGX_261") + " 3");
    widgettest::saveGrab(shown, "DownloadAlert-1-of-3");

    std::vector<std::string> seen;
    for (std::size_t place = 1; place <= names.size(); ++place) {
        ASSERT_TRUE(shown.isVisible()) << place;
        ASSERT_TRUE(shown.path()) << place;
        seen.push_back(*shown.path());
        EXPECT_EQ(shown.queuePlace().text(), QString("%1 %2 3").arg(place).arg(text("IDS_BGX_261")));
        EXPECT_EQ(shown.lblPathValue->text(), QString::fromStdString(*shown.path()));
        widgettest::click(*shown.btnDelete);
        EXPECT_EQ(shown.deleteState(), DownloadProtectionViewController::itemRemoved) << *shown.path();
        widgettest::click(*shown.btnDelete);
    }
    EXPECT_FALSE(shown.isVisible());
    std::sort(seen.begin(), seen.end());
    std::sort(renamed.begin(), renamed.end());
    EXPECT_EQ(seen, renamed);
    for (const auto& name : names)
        EXPECT_TRUE(fs::exists(trash / name)) << name;
    EXPECT_EQ(alertedPaths(), platform::Array{});
}

TEST_F(DownloadAlertTest, TheAgentsAlertForAMatchingDownloadDeletesItToTheTrash)
{
    widgettest::NotificationRecorder alerts(AlertNotification::newDownloadedItem);
    startAgent();
    const auto download = renameInto(testsupport::homeFolder() / "Downloads", "OrlundoInstaller.dmg");
    ASSERT_TRUE(waitForPosts(alerts, 1));
    auto& shown = dynamic_cast<DownloadProtectionViewController&>(
        *delegate->alertWindows().windowController(AlertKind::download));
    EXPECT_TRUE(shown.isVisible());
    EXPECT_EQ(shown.lblPathValue->text(), QString::fromStdString(download.string()));
    EXPECT_FALSE(shown.lblAppNameValue->text().isEmpty());
    widgettest::saveGrab(shown, "DownloadAlert-from-agent");

    widgettest::click(*shown.btnDelete);
    EXPECT_TRUE(fs::exists(trash / "OrlundoInstaller.dmg"));
    widgettest::click(*shown.btnDelete);
    EXPECT_FALSE(shown.isVisible());
    EXPECT_EQ(alertedPaths(), platform::Array{});
}

// Ignore This App only dismisses the alert: it records nothing, and a later event
// for the same path alerts again.
TEST_F(DownloadAlertTest, IgnoreThisAppRecordsNothingAndTheSamePathAlertsAgain)
{
    const platform::Array ignored{std::string("/Applications/Kept.app")};
    appGroupDefaults()->setObject(SettingsKey::ignoreAllPaths, ignored);
    widgettest::NotificationRecorder posts(AlertNotification::newDownloadedItem);
    startAgent();
    const auto downloads = testsupport::homeFolder() / "Downloads";
    const auto download = renameInto(downloads, "OrlundoInstaller.dmg");
    ASSERT_TRUE(waitForPosts(posts, 1));
    auto& shown = dynamic_cast<DownloadProtectionViewController&>(
        *delegate->alertWindows().windowController(AlertKind::download));
    const auto suiteBefore = appGroupDefaults()->dictionaryRepresentation();
    widgettest::click(*shown.btnIgnoreThisApp);
    EXPECT_FALSE(shown.isVisible());
    EXPECT_EQ(appGroupDefaults()->array(SettingsKey::ignoreAllPaths), ignored);
    EXPECT_EQ(appGroupDefaults()->dictionaryRepresentation(), suiteBefore);
    EXPECT_EQ(alertedPaths(), platform::Array{});
    EXPECT_TRUE(fs::exists(download));

    renameInto(downloads, "OrlundoInstaller.dmg");
    ASSERT_TRUE(waitForPosts(posts, 2));
    EXPECT_TRUE(shown.isVisible());
    EXPECT_EQ(shown.path(), download.string());
}

} // namespace
