#include "ManageScreenTest.h"

#include "LoopbackServer.h"
#include "SignatureDatabaseTest.h"
#include "SlowServers.h"

#include "Controls/FlatButton.h"
#include "Detection/DatabaseManager.h"
#include "Foundation/Settings.h"
#include "Foundation/TextTable.h"
#include "Foundation/UserPaths.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Values/PropertyList.h"
#include "Foundation/PresentationSlots.h"
#include "Screens/Common/DateText.h"
#include "Screens/Common/MainWindow.h"
#include "Screens/Common/UpdaterWindow.h"
#include "Screens/Manage/SettingCheckbox.h"
#include "Screens/Manage/UpdateSettingsViewController.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <mutex>

namespace fs = std::filesystem;
namespace K = SettingsKey;

namespace {

// A definitions server on the loopback interface serving the index and archive each
// test sets (absent: 404), an installed database of version 1.0, the network up.
class UpdateNow : public detectiontest::SignatureDatabaseTest {
public: // the server set-ups of the table test use them
    void SetUp() override
    {
        SignatureDatabaseTest::SetUp();
        serve("/mac-zorazevivud/update/bgx.ini", index);
        serve("/mac-zorazevivud/update/updateddatabase.zip", archive);
        server.server.Post("/collect", [](const httplib::Request&, httplib::Response&) {});
        server.start();
        environment.set("BG_ANALYTICS_URL", server.url("/collect"));
        useServer(server.url("").substr(std::string("http://").size()));
        environment.set("BG_NETWORK_REACHABLE", "1");
        fs::create_directories(fs::path(databasePath()).parent_path());
        build(databasePath(), source("1.0"));
        screen = std::make_unique<UpdateSettingsViewController>();
        screen->viewWillAppear();
    }

    void TearDown() override
    {
        screen.reset();
        SignatureDatabaseTest::TearDown();
    }

    void useServer(const std::string& host) { environment.set("BG_DEFINITIONS_SERVER", host); }

    // A sound database: its version and one record.
    static sigdb::SignatureSource source(const std::string& version)
    {
        sigdb::SignatureSource source;
        source.versions = {version};
        source.apps = {{1, "Sample", "Adware", "Deceptive App", {{0, "/Applications/Sample.app"}}, {}, {}}};
        return source;
    }

    void serve(const std::string& path, std::optional<std::string>& body)
    {
        server.server.Get(path, [this, &body](const httplib::Request&, httplib::Response& response) {
            const std::lock_guard lock(mutex);
            ++requests;
            if (body)
                response.set_content(*body, "application/octet-stream");
            else
                response.status = 404;
        });
    }

    // The server offers a database of `version` in its archive.
    void publish(const std::string& version)
    {
        const fs::path folder = testsupport::platformRootFolder() / "archive";
        fs::create_directories(folder);
        build((folder / "bgx.db").string(), source(version));
        ASSERT_EQ(std::system(("cd '" + folder.string() + "' && zip -q archive.zip bgx.db").c_str()), 0);
        const std::lock_guard lock(mutex);
        index = "[act]\nversion=" + version + "\n";
        archive = testsupport::readFileText(folder / "archive.zip");
    }

    // Clicks Update Now and waits for the sheet it leads to.
    const AlertContent& clickAndWaitForSheet()
    {
        const std::size_t before = seams.sheets.size();
        screen->clickedUpdateDefinitionNow();
        EXPECT_TRUE(managetest::waitFor([&] { return seams.sheets.size() > before; }));
        return seams.sheets.back();
    }

    const AlertContent* answerAndWaitForResult(int response, std::chrono::seconds timeout = std::chrono::seconds(20))
    {
        const std::size_t before = seams.sheets.size();
        seams.answerSheet(response);
        if (!managetest::waitFor([&] { return seams.sheets.size() > before; }, timeout))
            return nullptr;
        return &seams.sheets.back();
    }

    std::string shownVersion() const { return screen->lblValueDefinitionsVersion->text().toStdString(); }

    managetest::ScopedEnvironment environment;
    managetest::MainBundleKeeper mainBundle;
    managetest::WithoutMainWindow withoutMainWindow;
    screentest::KeyEchoTextTable texts;
    screentest::ScreenSeams seams;
    LoopbackServer server;
    testsupport::SilentServer silent; // takes connections and never answers
    std::mutex mutex;
    std::optional<std::string> index, archive;
    int requests = 0;
    std::unique_ptr<UpdateSettingsViewController> screen;
};

TEST_F(UpdateNow, ANewerDatabaseIsOfferedInstalledAndShownWithItsDate)
{
    publish("2.0");
    widgettest::NotificationRecorder status("UpdateAGSQStatusAndDefinitionsBGX");
    EXPECT_EQ(shownVersion(), "1.0");

    const AlertContent& offer = clickAndWaitForSheet();
    EXPECT_EQ(offer.messageText, "IDS_BGX_167");
    EXPECT_EQ(offer.informativeText, "IDS_BGX_219");
    EXPECT_EQ(offer.buttons, (std::vector<std::string>{"IDS_BGX_166", "IDS_BGX_42"}));
    EXPECT_EQ(screen->lblUpdateProgress->text(), "IDS_BGX_244");

    const AlertContent* result = answerAndWaitForResult(alertFirstButtonReturn);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->informativeText, "IDS_BGX_168");
    EXPECT_EQ(result->buttons, std::vector<std::string>{"IDS_BGX_170"});
    EXPECT_EQ(status.received().size(), 1u);
    EXPECT_EQ(DatabaseManager::shared().getVersion(databasePath()), 2.0);
    EXPECT_EQ(standardDefaults().boolean(K::isDefinitionsAreUpToDate), true);
    const auto date = standardDefaults().date(K::definitionLastUpdatedOnDate);
    ASSERT_TRUE(date);
    EXPECT_EQ(shownVersion(), "2.0");
    EXPECT_EQ(screen->lblValueLastUpdatedOn->text().toStdString(), dateTimeText(*date));
    EXPECT_TRUE(screen->btnUpdateDefinitionNow->isEnabled());
}

TEST_F(UpdateNow, DecliningTheOfferChangesNothing)
{
    publish("2.0");
    clickAndWaitForSheet();
    EXPECT_EQ(answerAndWaitForResult(alertSecondButtonReturn, std::chrono::seconds(2)), nullptr);
    EXPECT_EQ(DatabaseManager::shared().getVersion(databasePath()), 1.0);
    EXPECT_TRUE(screen->btnUpdateDefinitionNow->isEnabled());
    EXPECT_EQ(screen->lblUpdateProgress->text(), "");
}

// Only a server that answered with a version that is not newer means up to date; a
// check that reached no version is a failure.
TEST_F(UpdateNow, TheCheckResultIsShownForWhatTheServerAnswered)
{
    struct Case {
        const char* name;
        std::function<void(UpdateNow&)> server;
        const char* shown;
    };
    const Case cases[] = {
        {"same version", [](UpdateNow& t) { t.publish("1.0"); }, "IDS_BGX_25"},
        {"server error", [](UpdateNow& t) { t.index.reset(); }, "IDS_BGX_245"},
        {"unreadable index", [](UpdateNow& t) { t.index = "[act]\nversion=soon\n"; }, "IDS_BGX_245"},
        {"infinite version", [](UpdateNow& t) { t.index = "[act]\nversion=inf\n"; }, "IDS_BGX_245"},
        {"unreachable server", [](UpdateNow& t) { t.useServer("127.0.0.1:1"); }, "IDS_BGX_245"},
        {"silent server", [](UpdateNow& t) { t.useServer(t.silent.url("http", "").substr(7)); }, "IDS_BGX_245"},
    };
    const testsupport::ShortTransferDeadlines shortened(1.0 / 30);
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        each.server(*this);
        const AlertContent& shown = clickAndWaitForSheet();
        EXPECT_EQ(shown.messageText, "");
        EXPECT_EQ(shown.informativeText, each.shown);
        seams.answerSheet(alertFirstButtonReturn);
        EXPECT_EQ(shownVersion(), "1.0");
        EXPECT_TRUE(screen->btnUpdateDefinitionNow->isEnabled());
    }
}

TEST_F(UpdateNow, AFailedInstallIsReportedAndClearsTheUpToDateFlag)
{
    publish("2.0");
    archive = "not a zip";
    clickAndWaitForSheet();
    const AlertContent* result = answerAndWaitForResult(alertFirstButtonReturn);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->informativeText, "IDS_BGX_169");
    EXPECT_EQ(standardDefaults().boolean(K::isDefinitionsAreUpToDate), false);
    EXPECT_EQ(shownVersion(), "1.0");
}

// The user has gone to another tab by the time the answer comes: its sheet and the
// overlay are the main window's all the same.
TEST_F(UpdateNow, AnAnswerThatComesAfterTheTabWasLeftIsASheetOnTheMainWindow)
{
    publish("1.0");
    QMainWindow window;
    auto* content = new QWidget;
    window.setCentralWidget(content);
    setMainWindow(&window);
    screen->setParent(content);
    window.show();
    screen->clickedUpdateDefinitionNow();
    screen->setParent(nullptr); // the tab is left while the check runs

    ASSERT_TRUE(managetest::waitFor([&] { return seams.sheetPending(); }));
    EXPECT_EQ(seams.sheets.back().informativeText, "IDS_BGX_25");
    EXPECT_EQ(seams.sheetWindows.back(), &window);
    ASSERT_TRUE(dimmingOverlay());
    EXPECT_EQ(dimmingOverlay()->window(), &window);
    seams.answerSheet(alertFirstButtonReturn);
    EXPECT_FALSE(dimmingOverlay());
}

TEST_F(UpdateNow, ASecondClickWhileOneRunsStartsNothing)
{
    publish("2.0");
    screen->clickedUpdateDefinitionNow();
    screen->clickedUpdateDefinitionNow();
    ASSERT_TRUE(managetest::waitFor([&] { return seams.sheetPending(); }));
    screen->clickedUpdateDefinitionNow(); // while the offer waits
    platform::dispatch::runMainLoopUntil([] { return false; }, std::chrono::milliseconds(300));
    EXPECT_EQ(seams.sheets.size(), 1u);
    EXPECT_EQ(requests, 1);
    EXPECT_FALSE(screen->btnUpdateDefinitionNow->isEnabled());
    seams.answerSheet(alertSecondButtonReturn);
}

TEST_F(UpdateNow, OfflineBothChecksShowTheOfflineAlertOnly)
{
    environment.set("BG_NETWORK_REACHABLE", "0");
    screen->clickedUpdateDefinitionNow();
    screen->clickedCheckForUpdates();
    ASSERT_EQ(seams.modalAlerts.size(), 2u);
    for (const AlertContent& alert : seams.modalAlerts) {
        EXPECT_EQ(alert.messageText, "IDS_BGX_156");
        EXPECT_EQ(alert.informativeText, "IDS_BGX_157");
        EXPECT_EQ(alert.buttons, std::vector<std::string>{"OK"});
    }
    EXPECT_TRUE(seams.sheets.empty());
    EXPECT_EQ(requests, 0);
}

TEST_F(UpdateNow, TheStoredDateAndChoicesAreShownOnAppearance)
{
    const auto date = platform::Date(std::chrono::system_clock::now() - std::chrono::hours(30));
    standardDefaults().setObject(K::definitionLastUpdatedOnDate, date);
    standardDefaults().setBool(K::automaticallyUpdateDefinitions, false);
    standardDefaults().setBool(K::automaticallyUpdateBG, true);
    screen->viewWillAppear();
    EXPECT_EQ(screen->lblValueLastUpdatedOn->text().toStdString(), dateTimeText(date));
    EXPECT_FALSE(screen->btnAutomaticallyUpdateDefinition->isChecked());
    EXPECT_TRUE(screen->btnAutomaticallyUpdateBG->isChecked());

    standardDefaults().setObject(K::definitionLastUpdatedOnDate, platform::Value("yesterday"));
    screen->viewWillAppear();
    EXPECT_EQ(screen->lblValueLastUpdatedOn->text().toStdString(), dateTimeText(date));

    screen->btnAutomaticallyUpdateDefinition->click();
    EXPECT_EQ(standardDefaults().boolean(K::automaticallyUpdateDefinitions), true);
}

TEST_F(UpdateNow, TheApplicationVersionJoinsVersionAndBuildWithZeroForAMissingOne)
{
    const fs::path bundle = testsupport::platformRootFolder() / "Version Test.app";
    const auto versionWith = [&](const platform::Dictionary& info) {
        fs::create_directories(bundle / "Contents");
        EXPECT_TRUE(platform::writePropertyListFile((bundle / "Contents/Info.plist").string(), platform::Value(info)));
        platform::Bundle::setMainBundlePath(bundle.string());
        return applicationVersionText();
    };
    EXPECT_EQ(versionWith({{"CFBundleShortVersionString", "2.3"}, {"CFBundleVersion", "41"}}), "2.3.41");
    EXPECT_EQ(versionWith({{"CFBundleShortVersionString", "2.3"}}), "2.3.0");
    EXPECT_EQ(versionWith({}), "0.0");
}

// The Update tab of an application whose feed is at the address useFeed() gives, on
// show in the main window.
class CheckForUpdatesTest : public managetest::ManageScreenTest {
protected:
    void SetUp() override
    {
        ManageScreenTest::SetUp();
        environment.set("BG_NETWORK_REACHABLE", "1");
        window.setCentralWidget(new QWidget);
        window.resize(1008, 720);
        setMainWindow(&window);
    }

    void useFeed(const std::string& feedURL)
    {
        fs::create_directories(bundle / "Contents");
        const platform::Dictionary info{{"CFBundleIdentifier", "com.example.updatecheck"},
                                        {"CFBundleVersion", "41"},
                                        {"SUFeedURL", feedURL}};
        ASSERT_TRUE(platform::writePropertyListFile((bundle / "Contents/Info.plist").string(), platform::Value(info)));
        platform::Bundle::setMainBundlePath(bundle.string());
    }

    // The screen of the bundle above, on show in the main window.
    std::unique_ptr<UpdateSettingsViewController> showScreen()
    {
        auto screen = std::make_unique<UpdateSettingsViewController>(window.centralWidget());
        screen->resize(managetest::contentSize);
        screen->viewWillAppear();
        window.show();
        return screen;
    }

    const fs::path bundle = testsupport::platformRootFolder() / "Bastion Guardpoint.app";
    managetest::ScopedEnvironment environment;
    managetest::WithoutMainWindow withoutMainWindow;
    QMainWindow window;
};

// Check for Updates against a feed server that takes the connection and never
// answers: the updater's window shows the check until it ends by its deadline
// (shortened to 2 s) with the failure; Cancel ends a check at once; the button starts
// a new check each time.
class CheckForUpdatesAgainstASilentFeed : public CheckForUpdatesTest {
protected:
    void SetUp() override
    {
        CheckForUpdatesTest::SetUp();
        useFeed(feed.url("http", "/appcast.xml"));
        installUpdaterWindows();
    }
    void TearDown() override
    {
        platform::SUUpdater::setUserDriverFactory({});
        CheckForUpdatesTest::TearDown();
    }

    static UpdaterWindow& updaterWindow()
    {
        return dynamic_cast<UpdaterWindow&>(*platform::SUUpdater::initForBundle(platform::Bundle::main())->userDriver());
    }

    testsupport::SilentServer feed;
    testsupport::ShortTransferDeadlines shortened{1.0 / 30};
};

TEST_F(CheckForUpdatesAgainstASilentFeed, TheWindowShowsTheCheckUntilItFailsOrIsCancelled)
{
    const auto screen = showScreen();
    widgettest::click(*screen->btnCheckForUpdates);
    EXPECT_EQ(updaterWindow().lblHeadline->text(), "IDS_BGX_301");
    ASSERT_TRUE(managetest::waitFor([&] { return updaterWindow().lblHeadline->text() == "IDS_BGX_310"; }));
    EXPECT_EQ(updaterWindow().lblDetail->text(), "IDS_BGX_242");
    updaterWindow().btnSecondary->click();
    EXPECT_FALSE(updaterWindow().isVisible());

    widgettest::click(*screen->btnCheckForUpdates);
    EXPECT_EQ(updaterWindow().lblHeadline->text(), "IDS_BGX_301");
    QTest::keyClick(&updaterWindow(), Qt::Key_Escape); // Cancel
    EXPECT_FALSE(updaterWindow().isVisible());
    EXPECT_FALSE(managetest::waitFor([&] { return updaterWindow().isVisible(); }, std::chrono::seconds(3)))
        << "the cancelled check shows nothing";

    widgettest::click(*screen->btnCheckForUpdates);
    EXPECT_TRUE(updaterWindow().isVisible());
    EXPECT_EQ(updaterWindow().lblHeadline->text(), "IDS_BGX_301");
    EXPECT_TRUE(feed.wasContacted());
    EXPECT_TRUE(seams.sheets.empty());
}

} // namespace
