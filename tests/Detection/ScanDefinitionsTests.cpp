#include "ScanTestWorld.h"

#include "Detection/DatabaseManager.h"
#include "Detection/UpdateLock.h"
#include "LoopbackServer.h"
#include "SlowServers.h"

#include <atomic>
#include <mutex>
#include <thread>
#include <optional>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using detectiontest::NotificationLog;

// The scan's definitions step against a definitions server on the loopback interface
// (the installed database is version 1).
class ScanDefinitionsTest : public detectiontest::ScanWorld {
protected:
    void SetUp() override
    {
        ScanWorld::SetUp();
        serve("/mac-zorazevivud/update/bgx.ini", index, trickleIndex);
        serve("/mac-zorazevivud/update/updateddatabase.zip", archive, trickleArchive, &holdArchive);
        loopback.start();
        setenv("BG_DEFINITIONS_SERVER", loopback.url("").substr(std::string("http://").size()).c_str(), 1);
        setenv("BG_NETWORK_REACHABLE", "1", 1);
        standardDefaults().removeObject(SettingsKey::isDefinitionsAreUpToDate);
        standardDefaults().removeObject(SettingsKey::definitionLastUpdatedOnDate);
    }

    void TearDown() override
    {
        holdArchive = false;
        Scan::setMaximumDefinitionsWaitForTesting(Scan::maximumDefinitionsWait);
        ScanWorld::TearDown();
        setenv("BG_NETWORK_REACHABLE", "0", 1);
        UpdateLock::setMaximumWaitForTesting(UpdateLock::maximumWait);
    }

    // A trickled answer comes at 4 bytes a second, for as long as the client waits; a
    // held one only once `held` is cleared (or after 20 s).
    void serve(const std::string& path, std::optional<std::string>& body, const bool& trickled,
               const std::atomic<bool>* held = nullptr)
    {
        loopback.server.Get(path, [this, &body, &trickled, held](const httplib::Request&, httplib::Response& response) {
            for (auto waited = 0ms; held && *held && waited < 20s; waited += 20ms)
                std::this_thread::sleep_for(20ms);
            const std::lock_guard lock(mutex);
            if (body && trickled)
                testsupport::trickle(response, *body, 2, 500ms);
            else if (body)
                response.set_content(*body, "application/octet-stream");
            else
                response.status = 404;
        });
    }

    // The archive the server gives: "bgx.db", the world's records at the given version.
    void serveDatabaseArchive(const std::string& version)
    {
        const auto folder = testsupport::platformRootFolder() / "archive";
        fs::create_directories(folder);
        auto newer = source;
        newer.versions = {version};
        build((folder / "bgx.db").string(), newer);
        ASSERT_EQ(std::system(("cd '" + folder.string() + "' && zip -q archive.zip bgx.db").c_str()), 0);
        const std::string bytes = testsupport::readFileText(folder / "archive.zip");
        const std::lock_guard lock(mutex);
        archive = bytes;
    }

    std::vector<double> definitionsShares() const
    {
        std::vector<double> shares;
        for (const auto& note : log.named("NotifyScanProcessBGX"))
            if (*note.value<std::int64_t>("objectsScanned") == -1)
                shares.push_back(*note.value<double>("percentage"));
        return shares;
    }

    std::size_t resultsOfScan()
    {
        Scan::shared().startScan();
        EXPECT_TRUE(log.waitFor("NotifyScanProcessCompleteBGX"));
        const auto ends = log.named("NotifyScanProcessCompleteBGX");
        return ends.empty() ? 0 : ends.back().value<std::vector<MalwareList>>("scanList")->size();
    }

    // The scan goes on with the installed database (version 1), as after a failed
    // check (`installFailed` false) or a failed install.
    void expectTheScanWentOnWithTheInstalledDefinitions(bool installFailed)
    {
        EXPECT_EQ(resultsOfScan(), 1u);
        EXPECT_EQ(definitionsShares(), installFailed ? (std::vector<double>{0.0, 100.0}) : std::vector<double>{0.0});
        EXPECT_EQ(standardDefaults().boolean(SettingsKey::isDefinitionsAreUpToDate),
                  installFailed ? std::optional<bool>(false) : std::nullopt);
        EXPECT_EQ(DatabaseManager::shared().getVersion(databasePath()), 1.0);
    }

    LoopbackServer loopback;
    std::mutex mutex;
    std::optional<std::string> index, archive;
    bool trickleIndex = false, trickleArchive = false;
    std::atomic<bool> holdArchive = false;
    NotificationLog log{{"NotifyScanProcessBGX", "UpdateAGSQStatusAndDefinitionsBGX", "NotifyScanProcessCompleteBGX"}};
};

TEST_F(ScanDefinitionsTest, NothingNewerGoesStraightToTheWalk)
{
    index = "[act]\nversion=1\n";
    EXPECT_EQ(resultsOfScan(), 1u);
    EXPECT_EQ(definitionsShares(), std::vector<double>{0.0});
    EXPECT_FALSE(log.has("UpdateAGSQStatusAndDefinitionsBGX"));
    EXPECT_FALSE(standardDefaults().boolean(SettingsKey::isDefinitionsAreUpToDate).has_value());
}

TEST_F(ScanDefinitionsTest, AFailedInstallIsStampedAndTheScanGoesOn)
{
    index = "[act]\nversion=2\n"; // and no archive
    EXPECT_EQ(resultsOfScan(), 1u);
    EXPECT_EQ(definitionsShares(), (std::vector<double>{0.0, 100.0}));
    EXPECT_TRUE(log.has("UpdateAGSQStatusAndDefinitionsBGX"));
    EXPECT_EQ(standardDefaults().boolean(SettingsKey::isDefinitionsAreUpToDate), false);
    EXPECT_FALSE(standardDefaults().date(SettingsKey::definitionLastUpdatedOnDate).has_value());
}

TEST_F(ScanDefinitionsTest, AnInstalledDatabaseIsStampedAndScannedWith)
{
    index = "[act]\nversion=2\n";
    serveDatabaseArchive("2");
    EXPECT_EQ(resultsOfScan(), 1u);
    EXPECT_EQ(definitionsShares(), (std::vector<double>{0.0, 100.0}));
    EXPECT_EQ(standardDefaults().boolean(SettingsKey::isDefinitionsAreUpToDate), true);
    EXPECT_TRUE(standardDefaults().date(SettingsKey::definitionLastUpdatedOnDate).has_value());
    EXPECT_EQ(DatabaseManager::shared().getVersion(databasePath()), 2.0);
}

TEST_F(ScanDefinitionsTest, ATrickledIndexEndsTheCheckAtItsDeadline)
{
    const testsupport::ShortTransferDeadlines shortened(1.0 / 30); // 1 s, in place of 30 s
    index = "[act]\nversion=2\nphone=" + std::string(1000, '5') + "\n"; // 250 s at 4 bytes a second
    serveDatabaseArchive("2");
    trickleIndex = true;
    expectTheScanWentOnWithTheInstalledDefinitions(false);
}

TEST_F(ScanDefinitionsTest, ATrickledArchiveEndsTheDownloadBelowTheRateFloor)
{
    const testsupport::ShortTransferDeadlines shortened(1.0 / 30); // 1 s, in place of 30 s
    index = "[act]\nversion=2\n";
    serveDatabaseArchive("2");
    trickleArchive = true;
    expectTheScanWentOnWithTheInstalledDefinitions(true);
}

// A download that takes longer than the scan waits for its definitions: the scan goes
// on with the installed ones at the end of the wait, and the install that lands later
// is stamped without starting the scan's halves again.
TEST_F(ScanDefinitionsTest, TheScanWaitsForItsDefinitionsOnlySoLong)
{
    Scan::setMaximumDefinitionsWaitForTesting(500ms);
    index = "[act]\nversion=2\n";
    serveDatabaseArchive("2");
    holdArchive = true;
    EXPECT_EQ(resultsOfScan(), 1u);
    EXPECT_EQ(definitionsShares(), std::vector<double>{0.0});
    EXPECT_FALSE(log.has("UpdateAGSQStatusAndDefinitionsBGX"));
    EXPECT_EQ(DatabaseManager::shared().getVersion(databasePath()), 1.0);

    holdArchive = false;
    ASSERT_TRUE(log.waitFor("UpdateAGSQStatusAndDefinitionsBGX"));
    EXPECT_EQ(standardDefaults().boolean(SettingsKey::isDefinitionsAreUpToDate), true);
    EXPECT_EQ(DatabaseManager::shared().getVersion(databasePath()), 2.0);
    platform::dispatch::runMainLoopFor(1500ms); // past the pause after an install
    EXPECT_EQ(log.named("NotifyScanProcessCompleteBGX").size(), 1u);
    EXPECT_EQ(definitionsShares(), std::vector<double>{0.0});
    EXPECT_FALSE(Scan::shared().isScanRunning);
}

// Another update (the agent's, the start-up job's) holds the lock for longer than the wait.
TEST_F(ScanDefinitionsTest, AnUpdateLockHeldElsewhereIsWaitedForOnlySoLong)
{
    index = "[act]\nversion=2\n";
    serveDatabaseArchive("2");
    UpdateLock::setMaximumWaitForTesting(500ms);
    const UpdateLock elsewhere;
    ASSERT_TRUE(elsewhere.held());
    expectTheScanWentOnWithTheInstalledDefinitions(false);
}

} // namespace
