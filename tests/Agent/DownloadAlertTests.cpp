#include "AlertWindowTest.h"

#include "Agent/AlertNotifications.h"
#include "Agent/DownloadAlert.h"
#include "Controls/FlatButton.h"
#include "Controls/HandCursorButton.h"
#include "Platform/Authorization/AuthorizationAgent.h"
#include "Platform/FileManager/FileManager.h"

#include <QPushButton>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

using platform::AuthorizationAgent;
using platform::AuthorizationAnswer;

// A folder that no one may change while the object lives (root included).
class ImmutableFolder {
public:
    explicit ImmutableFolder(const fs::path& folder) : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        set_ = fd_ >= 0 && change(true);
    }
    ~ImmutableFolder()
    {
        unlock();
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool isSet() const { return set_; }
    void unlock()
    {
        if (set_)
            set_ = !change(false);
    }

private:
    bool change(bool on)
    {
        int flags = 0;
        if (::ioctl(fd_, FS_IOC_GETFLAGS, &flags) != 0)
            return false;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        return ::ioctl(fd_, FS_IOC_SETFLAGS, &flags) == 0;
    }

    int fd_;
    bool set_ = false;
};

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
    post(item);
    showWith(*alert, AlertNotification::newDownloadedItem, {{AlertKey::newDownloadedItem, 42}});
    showWith(*alert, AlertNotification::newDownloadedItem,
             {{AlertKey::newDownloadedItem, std::string("/elsewhere")}, {AlertKey::detectedMalwareList, 1}});
    EXPECT_EQ(alert->path(), "/elsewhere");
    EXPECT_EQ(alert->lblPathValue->text(), QString::fromStdString(item.string()));
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

TEST_F(DownloadAlertTest, DeleteRemovesForGoodWhenTheSettingSaysSo)
{
    appGroupDefaults()->setBool(SettingsKey::moveDeletedToTrash, false);
    post(item);
    pressDelete();
    EXPECT_FALSE(fs::exists(item));
    EXPECT_FALSE(fs::exists(trash / "SnapfyreInstaller.dmg"));
    expectRemoved();
}

TEST_F(DownloadAlertTest, AFailedRemovalIsPrintedAndKeepsTheFirstState)
{
    // A Trash that is a file: the move fails.
    fs::remove_all(trash);
    testsupport::plantFile(trash);
    post(item);
    EXPECT_NE(pressDelete().find(item.string()), std::string::npos);
    EXPECT_TRUE(fs::exists(item));
    expectOffered();
    EXPECT_EQ(alert->path(), item.string());
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
    }
    EXPECT_FALSE(fs::exists(trash / "Documents.app"));
}

TEST_F(DownloadAlertTest, AnUnwritableBundleGoesThroughThePrivilegedRemover)
{
    const auto bundle = testsupport::plantFile(testsupport::homeFolder() / "Downloads/Snapfyre.app/Contents/Info.plist")
                            .parent_path()
                            .parent_path();
    ImmutableFolder locked(bundle);
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

TEST_F(DownloadAlertTest, CloseTakesEveryShownPathOffTheAlertedList)
{
    const auto second = testsupport::plantFile(testsupport::homeFolder() / "Desktop/SnapfyreSetup.pkg");
    const std::string other = "/Users/someone/Downloads/Other.dmg";
    standardDefaults().setObject(SettingsKey::newDownloadPathsWithNags,
                                 platform::Array{item.string(), other, second.string(), item.string()});
    post(item);
    post(second);
    EXPECT_EQ(alert->lblPathValue->text(), QString::fromStdString(second.string()));
    widgettest::click(*alert->btnClose);
    EXPECT_FALSE(alert->isVisible());
    EXPECT_EQ(alertedPaths(), platform::Array{other});

    // A later alert starts a new list of shown paths; an absent list stays absent.
    standardDefaults().removeObject(SettingsKey::newDownloadPathsWithNags);
    post(item);
    widgettest::click(*alert->btnClose);
    EXPECT_EQ(alertedPaths(), std::nullopt);
}

TEST_F(DownloadAlertTest, IgnoreThisAppAddsThePathToTheIgnoreListOnceAndCloses)
{
    appGroupDefaults()->setObject(SettingsKey::ignoreAllPaths, platform::Array{std::string("/Applications/Kept.app")});
    standardDefaults().setObject(SettingsKey::newDownloadPathsWithNags, platform::Array{item.string()});
    for (int time = 0; time < 2; ++time) {
        post(item);
        widgettest::click(*alert->btnIgnoreThisApp);
        EXPECT_FALSE(alert->isVisible());
    }
    EXPECT_EQ(appGroupDefaults()->array(SettingsKey::ignoreAllPaths),
              (platform::Array{std::string("/Applications/Kept.app"), item.string()}));
    EXPECT_EQ(alertedPaths(), platform::Array{});
    EXPECT_TRUE(fs::exists(item));
}

} // namespace
