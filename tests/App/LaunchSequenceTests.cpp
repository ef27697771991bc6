#include "AppShellTest.h"

#include "App/AgentIdentity.h"
#include "App/AllViewControllers.h"
#include "App/AppDelegate.h"
#include "App/InitialWindowController.h"
#include "App/FileInstall.h"
#include "Detection/DatabaseManager.h"
#include "Detection/Scan.h"
#include "FilePermissionsObeyed.h"
#include "Foundation/Analytics.h"
#include "Foundation/SharedState.h"
#include "Foundation/Settings.h"
#include "Foundation/TextTable.h"
#include "Foundation/UserPaths.h"
#include "Platform/Launchd/JobRegistry.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/LoginItems/AutostartEntry.h"
#include "Platform/LoginItems/FileURL.h"
#include "Platform/LoginItems/SharedFileList.h"
#include "Platform/Launchd/ServiceManagement.h"
#include "Platform/Tools/ToolProcess.h"
#include "Platform/Values/PropertyList.h"
#include "Platform/Workspace/ProcessList.h"
#include "WidgetTestSupport.h"

#include <QAbstractButton>
#include <QMessageBox>

#include <sqlite3.h>
#include <signal.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace fs = std::filesystem;
namespace K = SettingsKey;

namespace {

// A signature database holding only its version.
void writeDatabase(const std::string& path, const std::string& version)
{
    fs::create_directories(fs::path(path).parent_path());
    fs::remove(path);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    const std::string sql = "create table VersionList (Id integer primary key, Version text);"
                            "insert into VersionList (Version) values ('" + version + "');";
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

std::optional<platform::Value> setting(const char* key)
{
    const SettingsKeyInfo* info = settingsKeyInfo(key);
    return settingsStore(info->store)->object(key);
}

class LaunchSequence : public AppShellTest {
protected:
    // Runs the launch sequence and waits for the one agent it starts: its PID, 0 when none runs.
    static pid_t launchWithTheAgentRunning()
    {
        AppDelegate::shared().applicationWillFinishLaunching();
        pid_t agent = 0;
        waitForAgent([&](const auto& agents) {
            agent = agents.size() == 1 ? agents.front() : 0;
            return agent != 0;
        });
        return agent;
    }
};

TEST_F(LaunchSequence, FirstLaunchInstallsEverythingAndSendsTheInstallEvent)
{
    AppDelegate::shared().applicationWillFinishLaunching();

    for (const auto& [key, expected] : std::vector<std::pair<const char*, platform::Value>>{
             {K::launchAutomatically, true}, {K::scanOnAutoLaunch, true}, {K::moveDeletedToTrash, true},
             {K::automaticallyUpdateDefinitions, true}, {K::automaticallyUpdateBG, true},
             {K::isActiveProtectionEnabled, false}, {K::isStartupProtectionEnabled, false},
             {K::isPopUp, false}, {K::definitionsNewVersion, 1.0}, {K::definitionsOldVersion, 1.0},
             {K::isCrashesProtectionEnabled, true}, {K::firstRun, false}, {K::lastVersion, "1.0"}})
        EXPECT_EQ(setting(key), expected) << key;
    EXPECT_TRUE(standardDefaults().date(K::appInstalledDate));
    EXPECT_TRUE(standardDefaults().date(K::definitionLastUpdatedOnDate));
    EXPECT_TRUE(fs::exists(databasePath()));

    // The installer's campaign file replaced the one made for the support folder.
    const auto campaign = platform::readPropertyListFile(trackingPlistPath());
    ASSERT_TRUE(campaign);
    EXPECT_EQ(*campaign->find("utm_source"), platform::Value("bgx"));

    // The agent is installed, its launch agent written with exactly four keys and loaded.
    EXPECT_TRUE(fs::exists(fs::path(installedAgentPath()) / "Contents/MacOS/ActiveGuardSentinelWarden"));
    const auto plist = platform::readPropertyListFile(agentLaunchAgentPlistPath());
    ASSERT_TRUE(plist);
    EXPECT_EQ(*plist, platform::Value(platform::Dictionary{
                          {"Label", agentBundleIdentifier},
                          {"ProgramArguments", platform::Array{"/usr/bin/open", "-F", "-g", installedAgentPath()}},
                          {"KeepAlive", true},
                          {"RunAtLoad", true}}));
    EXPECT_TRUE(platform::SMJobCopyDictionary(platform::LaunchdDomain::User, agentBundleIdentifier));
    EXPECT_TRUE(waitForAgent([](const auto& agents) { return !agents.empty(); })) << "the agent runs";

    ASSERT_TRUE(waitForAnalyticsEvents(1));
    EXPECT_EQ(analyticsEvents(), std::vector<std::string>{"install/install"});
}

TEST_F(LaunchSequence, SecondLaunchKeepsStoredValuesAndReplacesTheRunningAgent)
{
    const pid_t firstAgent = launchWithTheAgentRunning();
    ASSERT_NE(firstAgent, 0);
    standardDefaults().setObject(K::scanOnAutoLaunch, "yes"); // another type counts as present
    appGroupDefaults()->setBool(K::moveDeletedToTrash, false);
    standardDefaults().setBool(K::isPopUp, true);

    AppDelegate::shared().applicationWillFinishLaunching();
    EXPECT_EQ(setting(K::scanOnAutoLaunch), platform::Value("yes"));
    EXPECT_EQ(setting(K::moveDeletedToTrash), platform::Value(false));
    EXPECT_EQ(setting(K::isPopUp), platform::Value(false));
    EXPECT_TRUE(processHasExited(firstAgent)) << "the old agent was force-quit";
    EXPECT_TRUE(waitForAgent([&](const auto& agents) { return agents.size() == 1 && agents.front() != firstAgent; }))
        << "launchd starts a fresh agent";
    ASSERT_TRUE(waitForAnalyticsEvents(1));
    EXPECT_EQ(analyticsEvents(), std::vector<std::string>{"install/install"}) << "no event on the second launch";
}

// The installed agent is replaced at each launch in one step: a login starting
// meanwhile always finds the agent's tools where its autostart entry names them.
TEST_F(LaunchSequence, ALaunchReplacingTheInstalledAgentNeverLeavesItsPlaceEmpty)
{
    ASSERT_NE(launchWithTheAgentRunning(), 0);
    const fs::path tool = fs::path(installedAgentPath()) / "Contents/MacOS" / platform::kLoginStepTool;
    ASSERT_TRUE(fs::exists(tool));
    std::atomic<bool> replaced = false;
    std::atomic<int> missing = 0;
    std::thread login([&] {
        while (!replaced)
            if (!fs::exists(tool))
                ++missing;
    });
    AppDelegate::shared().applicationWillFinishLaunching();
    replaced = true;
    login.join();
    EXPECT_EQ(missing, 0);
    EXPECT_TRUE(fs::exists(tool));
}

// A login starts the agent while a launch replaces it: an agent starting then is
// force-quit or leaves at once, so none runs on from the copy removed, and the one
// agent that runs afterwards is the fresh copy.
TEST_F(LaunchSequence, AnAgentStartedWhileTheLaunchReplacesItRunsOnlyFromTheFreshCopy)
{
    ASSERT_NE(launchWithTheAgentRunning(), 0);
    const std::string executable = installedAgentPath() + "/Contents/MacOS/ActiveGuardSentinelWarden";
    std::atomic<bool> replaced = false;
    std::vector<platform::ToolProcess> started;
    std::thread login([&] {
        while (!replaced) {
            if (auto agent = platform::ToolProcess::launch(executable, {}, platform::ToolProcess::Capture::Nothing))
                started.push_back(std::move(*agent));
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    AppDelegate::shared().applicationWillFinishLaunching();
    replaced = true;
    login.join();

    EXPECT_TRUE(waitForAgent([](const auto& agents) { return agents.size() == 1; }));
    for (auto& agent : started) {
        // One that leaves at once may still be on its way out.
        EXPECT_TRUE(waitUntil([&] {
            return processHasExited(agent.pid()) || platform::processExecutable(agent.pid()) == executable;
        })) << "an agent runs on from a removed copy";
        ::kill(agent.pid(), SIGKILL);
        agent.waitForExit();
    }
}

// At one launch launchd's supervisor cannot start (its tool not runnable): the
// launch says so in one line, keeps no half-loaded job, and the next launch has
// the agent running.
TEST_F(LaunchSequence, ALaunchWhoseAgentCannotBeStartedSaysSoAndTheNextOneStartsIt)
{
    {
        const testsupport::UnrunnableSupervisor broken;
        testing::internal::CaptureStdout();
        AppDelegate::shared().applicationWillFinishLaunching();
        EXPECT_THAT(testing::internal::GetCapturedStdout(),
                    testing::HasSubstr("Unable to load the agent's launch agent: " + agentLaunchAgentPlistPath() +
                                       ": Cannot start the job's supervisor \"" + broken.tool().string() +
                                       "\": Permission denied\n"));
    }
    EXPECT_FALSE(platform::SMJobCopyDictionary(platform::LaunchdDomain::User, agentBundleIdentifier));
    EXPECT_TRUE(runningAgents().empty());

    AppDelegate::shared().applicationWillFinishLaunching();
    EXPECT_TRUE(waitForAgent([](const auto& agents) { return agents.size() == 1; })) << "the next launch starts it";
    testing::internal::CaptureStdout();
    AppDelegate::shared().applicationWillFinishLaunching();
    EXPECT_THAT(testing::internal::GetCapturedStdout(), testing::Not(testing::HasSubstr("Unable to load")))
        << "a job loaded from before is no failure";
}

// launchd keeps the agent's job loaded while nothing runs it or will run it again:
// its supervisor gave up on a program it could not start, as one of an earlier
// release did once an update had deleted that program. The next launch loads the
// job anew and the agent runs.
TEST_F(LaunchSequence, ALaunchReloadsTheAgentsJobThatNothingRuns)
{
    const pid_t firstAgent = launchWithTheAgentRunning();
    ASSERT_NE(firstAgent, 0);
    const auto registry = platform::launchd::JobRegistry::forDomain(platform::LaunchdDomain::User);
    auto record = *registry.read(agentBundleIdentifier);
    ASSERT_TRUE(record.supervisorPid);
    const auto supervisor = static_cast<pid_t>(*record.supervisorPid);
    ::kill(supervisor, SIGKILL);
    ASSERT_TRUE(waitUntil([&] { return processHasExited(supervisor); }));
    record.supervisorPid.reset();
    record.supervisorStartTime.reset();
    record.pid.reset();
    record.lastExitStatus = 127 << 8;
    record.supervisorFinished = true;
    ASSERT_TRUE(registry.write(agentBundleIdentifier, record));
    ASSERT_TRUE(platform::SMJobCopyDictionary(platform::LaunchdDomain::User, agentBundleIdentifier))
        << "still listed as loaded";

    AppDelegate::shared().applicationWillFinishLaunching();
    EXPECT_TRUE(waitForAgent([&](const auto& agents) { return agents.size() == 1 && agents.front() != firstAgent; }))
        << "the agent runs again";
    const auto reloaded = registry.read(agentBundleIdentifier);
    ASSERT_TRUE(reloaded);
    EXPECT_TRUE(reloaded->supervisorPid);
    EXPECT_FALSE(reloaded->supervisorFinished);
}

struct DatabaseCase {
    const char* installed; // null: none installed
    const char* shipped;
    const char* expected;  // the installed version afterwards
    bool stamped;
};

TEST_F(LaunchSequence, ShippedDatabaseIsInstalledWhenMissingOrNewer)
{
    const std::string shipped = (bundle / "Contents/Resources/BGX.db").string();
    for (const DatabaseCase& c : {DatabaseCase{nullptr, "5", "5", true}, DatabaseCase{"4", "5", "5", true},
                                  DatabaseCase{"5", "5", "5", false}, DatabaseCase{"6", "5", "6", false}}) {
        SCOPED_TRACE(std::string(c.installed ? c.installed : "none") + " installed, " + c.shipped + " shipped");
        writeDatabase(shipped, c.shipped);
        fs::remove(databasePath());
        if (c.installed)
            writeDatabase(databasePath(), c.installed);
        standardDefaults().removeObject(K::definitionLastUpdatedOnDate);
        AppDelegate::shared().applicationWillFinishLaunching();
        EXPECT_EQ(DatabaseManager::shared().getVersion(databasePath()), std::stod(c.expected));
        EXPECT_EQ(standardDefaults().date(K::definitionLastUpdatedOnDate).has_value(), c.stamped);
    }
}

TEST_F(LaunchSequence, AFailedCopyLeavesTheInstalledFileAsItWas)
{
    writeDatabase(databasePath(), "4");
    const auto error = installFileCopy((bundle / "Contents/Resources/missing.db").string(), databasePath());
    EXPECT_TRUE(error);
    EXPECT_EQ(DatabaseManager::shared().getVersion(databasePath()), 4.0);
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(databasePath()).parent_path()), fs::directory_iterator()), 1)
        << "no temporary file is left";
}

struct ReleaseCase {
    const char* stored;
    const char* current;
    const char* event;      // empty: none
    const char* lastVersion; // afterwards
};

TEST_F(LaunchSequence, UpdateEventOnlyForAGreaterSingleNumberVersion)
{
    for (const ReleaseCase& c : {ReleaseCase{"1.2", "1.3", "bastionguardpointupdated/1.3", "1.3"},
                                 ReleaseCase{"1.2", "1.2.1", "", "1.2"}, ReleaseCase{"1.2", "1.1", "", "1.2"},
                                 ReleaseCase{"1.3", "1.3", "", "1.3"}}) {
        SCOPED_TRACE(std::string(c.stored) + " -> " + c.current);
        setInfo({{"CFBundleShortVersionString", c.current}});
        standardDefaults().setBool(K::firstRun, false);
        standardDefaults().setObject(K::lastVersion, c.stored);
        const std::size_t before = analyticsEvents().size();
        AppDelegate::shared().applicationWillFinishLaunching();
        if (*c.event) {
            ASSERT_TRUE(waitForAnalyticsEvents(before + 1));
            EXPECT_EQ(analyticsEvents().back(), c.event);
        }
        EXPECT_EQ(standardDefaults().text(K::lastVersion), c.lastVersion);
    }
    EXPECT_EQ(analyticsEvents().size(), 1u);
}

// A launch as a login item with the setting on scans once: the launch starts the scan,
// and the Overview is not left a flag that would start a second one when it next appears.
TEST_F(LaunchSequence, ALaunchAsALoginItemScansOnce)
{
    AppDelegate::shared().applicationWillFinishLaunching();
    standardDefaults().setBool(K::scanOnAutoLaunch, true);
    setenv("BG_LAUNCH_EVENT", "lgit", 1);
    AppDelegate::shared().applicationDidFinishLaunching();
    unsetenv("BG_LAUNCH_EVENT");
    EXPECT_TRUE(Scan::shared().isScanRunning);
    EXPECT_FALSE(isLaunchedAsLoginItem);
    EXPECT_TRUE(platform::dispatch::runMainLoopUntil([] { return !Scan::shared().isScanRunning; },
                                                     std::chrono::seconds(60)));
}

// The settings file left to another user (as a run with sudo leaves it): the launch
// changes nothing that the stored settings decide (the login item stays out of the
// session's list, no install event), leaves the file whole and says once, on the main
// window, that the settings could not be read.
TEST_F(LaunchSequence, AnUnreadableSettingsFileLeavesWhatItDecidesAsItWas)
{
    ASSERT_TRUE(standardDefaults().setBool(K::launchAutomatically, false));
    ASSERT_TRUE(standardDefaults().setBool(K::firstRun, false));
    ASSERT_TRUE(standardDefaults().setInteger(K::totalDeceptiveAppsRemovedSoFar, 42));
    const std::string file = standardDefaults().plistPath();
    const std::string bytes = testsupport::readFileText(file);
    {
        testsupport::UnopenableFile unopenable(file);
        const testsupport::FilePermissionsObeyed obeyed;
        if (!obeyed.isSet())
            GTEST_SKIP() << "this process cannot give up its file access override";
        AppDelegate::shared().applicationWillFinishLaunching();
        AppDelegate::shared().applicationDidFinishLaunching();
    }
    QWidget& window = *AllViewControllers::initialWindowController().window();
    auto boxes = window.findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0]->text().toStdString(), localizedText("IDS_BGX_274"));
    EXPECT_EQ(boxes[0]->informativeText().toStdString(), localizedText("IDS_BGX_275"));
    widgettest::saveGrab(window, "launch-settings-unreadable");
    widgettest::saveGrab(*boxes[0], "launch-settings-unreadable-sheet");
    boxes[0]->buttons().at(0)->click();
    QCoreApplication::processEvents();
    AppDelegate::shared().showBGX(); // the window shown again says nothing more
    EXPECT_TRUE(window.findChildren<QMessageBox*>().empty());
    EXPECT_TRUE(platform::SharedFileList::sessionLoginItems()->snapshot().empty()) << "no login item added";
    EXPECT_EQ(testsupport::readFileText(file), bytes);
    sendAnalyticsEvent("test", "marker"); // after whatever the launch sent
    ASSERT_TRUE(waitForAnalyticsEvents(1));
    EXPECT_THAT(analyticsEvents(), testing::Not(testing::Contains("install/install")));
    EXPECT_EQ(standardDefaults().integer(K::totalDeceptiveAppsRemovedSoFar), 42) << "read once given back";
}

// The bundle moved after its launch: the next launch, from the new place, replaces
// the application's own login item (made by this release or, without the identifier
// it keeps, by an earlier one) and leaves every other entry: another application's
// whose bundle is gone, and another copy's of the application.
TEST_F(LaunchSequence, ALaunchFromANewPlaceReplacesItsOwnLoginItemAndLeavesTheOthers)
{
    const auto list = platform::SharedFileList::sessionLoginItems();
    const auto urlOf = [](const fs::path& path) { return platform::FileURL::fromPath(path.string()).absoluteString(); };
    const fs::path gone = testsupport::underRoot("/Applications/Gone.app");
    const fs::path copy = testsupport::homeFolder() / "Applications/Bastion Guardpoint.app";
    fs::create_directories(copy / "Contents");
    fs::copy_file(bundle / "Contents/Info.plist", copy / "Contents/Info.plist");
    for (const auto& entry : {gone, copy, testsupport::underRoot("/Applications/Old/Bastion Guardpoint.app")})
        ASSERT_TRUE(list->insertURL(urlOf(entry), std::nullopt));

    const auto launchFrom = [this](const char* place) {
        const fs::path to = testsupport::underRoot(place);
        fs::create_directories(to.parent_path());
        fs::rename(bundle, to);
        bundle = to;
        platform::Bundle::setMainBundlePath(bundle.string());
        AppDelegate::shared().applicationDidFinishLaunching();
    };
    AppDelegate::shared().applicationWillFinishLaunching();
    launchFrom("/Applications/Utilities/Bastion Guardpoint.app");
    launchFrom("/Applications/Security/Tools/Bastion Guardpoint.app");

    std::vector<std::string> urls;
    for (const auto& item : list->snapshot())
        urls.push_back(item.url);
    EXPECT_THAT(urls, testing::UnorderedElementsAre(urlOf(gone), urlOf(copy), urlOf(bundle)));
}

} // namespace
