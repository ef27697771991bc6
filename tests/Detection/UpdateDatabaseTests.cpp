#include "SignatureDatabaseTest.h"

#include "Detection/DatabaseManager.h"
#include "Detection/UpdateDatabase.h"
#include "Detection/UpdateLock.h"
#include "CrowdedZip.h"
#include "LoopbackServer.h"
#include "WithTerminal.h"
#include "Foundation/Settings.h"
#include "Foundation/UserPaths.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Notifications/NotificationCenter.h"
#include "Platform/Tools/ToolProcess.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <mutex>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr auto hangGuard = 30s; // only a guard against a completion that never comes

struct CheckResult {
    bool isNewer;
    std::optional<double> current;
    std::optional<double> latest;
    bool operator==(const CheckResult&) const = default;
};

// A definitions server on the loopback interface with the index and archive each
// test sets (absent: answered with 404).
class DefinitionsUpdate : public detectiontest::SignatureDatabaseTest {
protected:
    void SetUp() override
    {
        SignatureDatabaseTest::SetUp();
        serve("/mac-zorazevivud/update/bgx.ini", index);
        serve("/mac-zorazevivud/update/updateddatabase.zip", archive);
        loopback.server.Post("/collect", [this](const httplib::Request& request, httplib::Response&) {
            const std::lock_guard lock(mutex);
            analyticsHits.push_back(request.body);
        });
        loopback.start();
        setenv("BG_ANALYTICS_URL", loopback.url("/collect").c_str(), 1);
        setenv("BG_DEFINITIONS_SERVER", loopback.url("").substr(std::string("http://").size()).c_str(), 1);
        setenv("BG_NETWORK_REACHABLE", "1", 1);
        if (auto* suite = appGroupDefaults())
            suite->removeObject(SettingsKey::phoneNumber);
        standardDefaults().removeObject(SettingsKey::definitionLastUpdatedOnDate);
        standardDefaults().removeObject(SettingsKey::isDefinitionsAreUpToDate);
    }

    void TearDown() override { setenv("BG_NETWORK_REACHABLE", "1", 1); }

    void serve(const std::string& path, std::optional<std::string>& body)
    {
        loopback.server.Get(path, [this, &body](const httplib::Request&, httplib::Response& response) {
            ++requests;
            if (answersHeldUntil.valid())
                answersHeldUntil.wait();
            const std::lock_guard lock(mutex);
            if (contentEncoding)
                response.set_header("Content-Encoding", *contentEncoding);
            if (body)
                response.set_content(*body, "application/octet-stream");
            else
                response.status = 404;
        });
    }

    CheckResult check(double currentVersion)
    {
        std::promise<CheckResult> result;
        UpdateDatabase::shared().checkForUpdates(currentVersion, [&](bool isNewer, auto current, auto latest) {
            result.set_value({isNewer, current, latest});
        });
        auto future = result.get_future();
        EXPECT_EQ(future.wait_for(hangGuard), std::future_status::ready);
        return future.get();
    }

    bool download()
    {
        std::promise<bool> result;
        UpdateDatabase::shared().downloadDatabase([&](bool installed) { result.set_value(installed); });
        auto future = result.get_future();
        EXPECT_EQ(future.wait_for(hangGuard), std::future_status::ready);
        return future.get();
    }

    // A database of the given version, installed as "BGX.db".
    void installDatabase(const std::string& version)
    {
        sigdb::SignatureSource source;
        source.versions = {version};
        fs::create_directories(fs::path(databasePath()).parent_path());
        build(databasePath(), source);
    }

    // An archive of the given files (name, contents) and links (name, target) as the
    // server's archive; links are stored as links, and files encrypted when asked.
    void serveArchive(const std::vector<std::pair<std::string, std::string>>& files,
                      const std::vector<std::pair<std::string, std::string>>& links = {}, bool encrypted = false)
    {
        const auto folder = testsupport::platformRootFolder() / "archive";
        fs::remove_all(folder);
        fs::create_directories(folder);
        std::string command = "cd '" + folder.string() + "' && zip -q -r -y" + (encrypted ? " -P secret" : "") +
                              " archive.zip";
        for (const auto& [name, contents] : files) {
            testsupport::plantFile(folder / name, contents);
            command += " '" + name + "'";
        }
        for (const auto& [name, target] : links) {
            fs::create_symlink(target, folder / name);
            command += " '" + name + "'";
        }
        ASSERT_EQ(std::system(command.c_str()), 0);
        const std::lock_guard lock(mutex);
        archive = testsupport::readFileText(folder / "archive.zip");
    }

    // Waits for the analytics hits of the installs (they are sent in the background).
    std::vector<std::string> hitsOnceThereAre(std::size_t count)
    {
        platform::dispatch::runMainLoopUntil(
            [&] {
                const std::lock_guard lock(mutex);
                return analyticsHits.size() >= count;
            },
            hangGuard);
        const std::lock_guard lock(mutex);
        return analyticsHits;
    }

    // The bytes of a signature database of the given version with one record.
    std::string databaseBytes(const std::string& version)
    {
        sigdb::SignatureSource source;
        source.versions = {version};
        source.apps = {{1, "Sample", "Adware", "Deceptive App", {{0, "/Applications/Sample.app"}}, {}, {}}};
        const auto path = testsupport::platformRootFolder() / ("v" + version + ".db");
        build(path.string(), source);
        return testsupport::readFileText(path);
    }

    std::mutex mutex;
    std::optional<std::string> index;
    std::optional<std::string> archive;
    std::optional<std::string> contentEncoding; // of every answer, when set
    std::shared_future<void> answersHeldUntil;   // every answer waits for it, when set
    std::atomic<int> requests = 0;
    std::vector<std::string> analyticsHits;
    LoopbackServer loopback;
};

TEST_F(DefinitionsUpdate, CheckComparesTheIndexVersionStrictly)
{
    const struct {
        const char* index;
        double current;
        CheckResult expected;
    } cases[] = {
        {"[act]\nversion=2.0\nphone=x\n", 2.0, {false, 2.0, 2.0}},
        {"[act]\r\nversion=2.0\r\n", 1.5, {true, 1.5, 2.0}},
        {"[act]\nversion=1.0\n", 1.5, {false, 1.5, 1.0}},
        {"[act]\nversion=abc\n", 1.0, {false, std::nullopt, std::nullopt}},
        {"[act]\nversion=inf\n", 1.0, {false, std::nullopt, std::nullopt}},
        {"[act]\nversion=nan\n", 1.0, {false, std::nullopt, std::nullopt}},
        {"[act]\nversion=1e400\n", 1.0, {false, std::nullopt, std::nullopt}},
        {"[act]\nversion = 2.0\n", 1.0, {false, std::nullopt, std::nullopt}},
        {"[act]\nphone=x\n", 1.0, {false, std::nullopt, std::nullopt}},
        {"[other]\nversion=2.0\n", 1.0, {false, std::nullopt, std::nullopt}},
    };
    for (const auto& c : cases) {
        index = c.index;
        EXPECT_EQ(check(c.current), c.expected) << c.index;
    }
}

TEST_F(DefinitionsUpdate, CheckStoresThePhoneInTheSuite)
{
    index = "[act]\nversion=2.0\nphone=+1 555 0100\n";
    check(1.0);
    ASSERT_TRUE(appGroupDefaults());
    EXPECT_EQ(appGroupDefaults()->text(SettingsKey::phoneNumber), "+1 555 0100");
}

TEST_F(DefinitionsUpdate, MalformedIndexFailsTheCheckAndPrintsWhy)
{
    index = "[act]\nversion=2.0\nnot a pair\n";
    testing::internal::CaptureStdout();
    EXPECT_EQ(check(1.0), (CheckResult{false, std::nullopt, std::nullopt}));
    EXPECT_NE(testing::internal::GetCapturedStdout(), "");
}

TEST_F(DefinitionsUpdate, CheckFailsOnADownloadError)
{
    index.reset();
    EXPECT_EQ(check(1.0), (CheckResult{false, std::nullopt, std::nullopt}));
    EXPECT_EQ(requests, 1);
}

TEST_F(DefinitionsUpdate, OfflineAnswersAtOnceWithoutTouchingAnything)
{
    setenv("BG_NETWORK_REACHABLE", "0", 1);
    index = "[act]\nversion=9.0\n";
    std::optional<CheckResult> checked;
    UpdateDatabase::shared().checkForUpdates(1.0, [&](bool n, auto c, auto l) { checked = CheckResult{n, c, l}; });
    EXPECT_EQ(checked, (CheckResult{false, std::nullopt, std::nullopt}));
    std::optional<bool> installed;
    UpdateDatabase::shared().downloadDatabase([&](bool ok) { installed = ok; });
    EXPECT_EQ(installed, false);
    EXPECT_EQ(requests, 0);
    EXPECT_FALSE(fs::exists(iniFilePath()));
}

TEST_F(DefinitionsUpdate, InstallReplacesTheDatabaseInOneRename)
{
    installDatabase("1.0");
    serveArchive({{"bgx.db", databaseBytes("2.0")}});
    // An open reader keeps the file it opened: the old database is renamed over, never rewritten.
    std::ifstream openedBefore(databasePath(), std::ios::binary);

    EXPECT_TRUE(download());
    EXPECT_EQ(DatabaseManager::shared().getVersion(databasePath()), 2.0);
    EXPECT_FALSE(fs::exists(downloadedDatabasePath()));
    EXPECT_TRUE(fs::exists(databaseZipPath()));
    std::stringstream oldBytes;
    oldBytes << openedBefore.rdbuf();
    EXPECT_NE(oldBytes.str(), testsupport::readFileText(databasePath()));
    const auto hits = hitsOnceThereAre(1);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_NE(hits[0].find("&ec=malware_database&ea=downloaded&"), std::string::npos) << hits[0];
}

// The zip with the CRC of its first entry changed in both of its headers: the
// entry's data is intact, but unzip's check fails.
// The zip with `change` made to a field of its first local header and of its
// first central-directory header, at the field's offset in each.
std::string withHeaderField(std::string zip, std::size_t localOffset, std::size_t centralOffset,
                            const std::function<void(char* field)>& change)
{
    for (const auto& [signature, offset] : {std::pair{std::string("PK\x03\x04", 4), localOffset},
                                            std::pair{std::string("PK\x01\x02", 4), centralOffset}}) {
        const auto header = zip.find(signature);
        EXPECT_NE(header, std::string::npos);
        if (header != std::string::npos)
            change(&zip[header + offset]);
    }
    return zip;
}

std::string withBadCrc(std::string zip)
{
    return withHeaderField(std::move(zip), 14, 16, [](char* crc) { crc[0] = static_cast<char>(crc[0] ^ 0x5a); });
}

// The zip with its one member listed as `size` bytes once unpacked.
std::string withListedSize(std::string zip, std::uint32_t size)
{
    return withHeaderField(std::move(zip), 22, 24, [size](char* field) {
        for (int byte = 0; byte < 4; ++byte)
            field[byte] = static_cast<char>(size >> (8 * byte));
    });
}

TEST_F(DefinitionsUpdate, InstallFailsAndKeepsTheDatabaseWithoutASoundUnpackedDatabase)
{
    installDatabase("1.0");
    const auto before = testsupport::readFileText(databasePath());
    const auto elsewhere = testsupport::plantFile(testsupport::platformRootFolder() / "elsewhere.db",
                                                  databaseBytes("6.0"));
    const auto noTables = testsupport::platformRootFolder() / "other.db";
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(noTables.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "create table Other (x); insert into Other values (1);", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(other);
    sigdb::SignatureSource noRecords;
    noRecords.versions = {"7.0"};
    build((testsupport::platformRootFolder() / "empty.db").string(), noRecords);
    const std::string sound = databaseBytes("2.0");
    const struct {
        const char* name;
        std::vector<std::pair<std::string, std::string>> files;
        std::vector<std::pair<std::string, std::string>> links;
        bool badCrc = false;
        bool encrypted = false;
    } cases[] = {
        {"no bgx.db", {{"readme.txt", "x"}}, {}},
        {"bgx.db is a folder", {{"bgx.db/inner", "x"}}, {}},
        {"bgx.db is a link", {}, {{"bgx.db", elsewhere.string()}}},
        {"bgx.db is garbage", {{"bgx.db", std::string(4096, '\x9c') + "SQLite format 3"}}, {}},
        {"bgx.db is empty", {{"bgx.db", ""}}, {}},
        {"bgx.db has other tables", {{"bgx.db", testsupport::readFileText(noTables)}}, {}},
        {"bgx.db has no records", {{"bgx.db", testsupport::readFileText(testsupport::platformRootFolder() / "empty.db")}}, {}},
        {"bgx.db is cut short", {{"bgx.db", sound.substr(0, sound.size() / 2)}}, {}},
        {"the archive fails its CRC check", {{"bgx.db", sound}}, {}, true},
        {"bgx.db is encrypted", {{"bgx.db", sound}}, {}, false, true},
    };
    for (const auto& c : cases) {
        fs::remove_all(fs::path(databaseZipPath()).parent_path());
        // A copy left by an earlier unpack is not installed for this archive.
        testsupport::plantFile(downloadedDatabasePath(), databaseBytes("5.0"));
        serveArchive(c.files, c.links, c.encrypted);
        if (c.badCrc) {
            const std::lock_guard lock(mutex);
            archive = withBadCrc(*archive);
        }
        EXPECT_FALSE(download()) << c.name;
        EXPECT_EQ(testsupport::readFileText(databasePath()), before) << c.name;
        EXPECT_EQ(DatabaseManager::shared().getVersion(databasePath()), 1.0) << c.name;
        EXPECT_FALSE(fs::is_symlink(databasePath())) << c.name;
    }
    // Only a replacement sends the analytics event: after one, there is one hit.
    serveArchive({{"bgx.db", sound}});
    EXPECT_TRUE(download());
    EXPECT_EQ(DatabaseManager::shared().getVersion(databasePath()), 2.0);
    EXPECT_EQ(hitsOnceThereAre(1).size(), 1u);
}

TEST_F(DefinitionsUpdate, AnswersOverTheirLimitAreErrors)
{
    installDatabase("1.0");
    const auto before = testsupport::readFileText(databasePath());
    index = "[act]\nversion=9.0\nphone=" + std::string(64 * 1024, '5') + "\n";
    EXPECT_EQ(check(1.0), (CheckResult{false, std::nullopt, std::nullopt}));
    EXPECT_FALSE(appGroupDefaults()->object(SettingsKey::phoneNumber));

    // An archive of 257 MiB once decoded, a few hundred kilobytes on the wire.
    const auto packed = testsupport::platformRootFolder() / "large.gz";
    ASSERT_EQ(std::system(("head -c 257M /dev/zero | gzip -1 -c > '" + packed.string() + "'").c_str()), 0);
    archive = testsupport::readFileText(packed);
    contentEncoding = "gzip";
    EXPECT_FALSE(download());
    EXPECT_EQ(testsupport::readFileText(databasePath()), before);
    EXPECT_FALSE(fs::exists(databaseZipPath()));
}

TEST_F(DefinitionsUpdate, AnArchiveListedAsUnpackingToMoreThanAGibibyteOrHoldingTooManyMembersIsNotUnpacked)
{
    installDatabase("1.0");
    const auto before = testsupport::readFileText(databasePath());
    serveArchive({{"bgx.db", databaseBytes("2.0")}});
    const std::pair<std::string, std::string> refused[] = {
        {withListedSize(*archive, (1u << 30) + 1),
         "would unpack to 1073741825 bytes, more than 1073741824; it is not unpacked"},
        {testsupport::crowdedZip(200'000), "holds 200000 members, more than 1000; it is not unpacked"},
    };
    for (const auto& [bytes, line] : refused) {
        {
            const std::lock_guard lock(mutex);
            archive = bytes;
        }
        testing::internal::CaptureStdout();
        EXPECT_FALSE(download());
        const std::string said = testing::internal::GetCapturedStdout();
        EXPECT_NE(said.find(line), std::string::npos) << said;
        EXPECT_EQ(testsupport::readFileText(databasePath()), before);
        EXPECT_FALSE(fs::exists(downloadedDatabasePath()));
    }
}

TEST_F(DefinitionsUpdate, InstallNeedsAnInstalledDatabase)
{
    serveArchive({{"bgx.db", databaseBytes("2.0")}});
    EXPECT_FALSE(download());
    EXPECT_FALSE(fs::exists(databasePath()));
    EXPECT_FALSE(fs::exists(downloadedDatabasePath()));
}

TEST_F(DefinitionsUpdate, ArchiveDownloadErrorInstallsNothing)
{
    installDatabase("1.0");
    archive.reset();
    EXPECT_FALSE(download());
    EXPECT_EQ(DatabaseManager::shared().getVersion(databasePath()), 1.0);
}

TEST_F(DefinitionsUpdate, StartupUpdateStampsTheResultAndPostsTheStatus)
{
    installDatabase("1.0");
    serveArchive({{"bgx.db", databaseBytes("2.0")}});
    int posts = 0;
    const auto token = platform::NotificationCenter::defaultCenter().addObserver(
        "UpdateAGSQStatusAndDefinitionsBGX", [&](const platform::Notification&) { ++posts; });

    UpdateDatabase::shared().downloadAndInstallDatabase();
    EXPECT_TRUE(platform::dispatch::runMainLoopUntil([&] { return posts == 1; }, hangGuard));
    EXPECT_EQ(standardDefaults().boolean(SettingsKey::isDefinitionsAreUpToDate), true);
    EXPECT_TRUE(standardDefaults().date(SettingsKey::definitionLastUpdatedOnDate));
}

TEST_F(DefinitionsUpdate, SettingsUpdateStampsAndShowsTheResultOnTheMainQueue)
{
    installDatabase("1.0");
    archive.reset();
    std::optional<bool> shown;
    bool shownOnMainThread = false;
    UpdateDatabase::shared().downloadDatabaseForSettings([&](bool installed) {
        shown = installed;
        shownOnMainThread = platform::dispatch::isMainThread();
    });
    EXPECT_TRUE(platform::dispatch::runMainLoopUntil([&] { return shown.has_value(); }, hangGuard));
    EXPECT_EQ(shown, false);
    EXPECT_TRUE(shownOnMainThread);
    EXPECT_EQ(standardDefaults().boolean(SettingsKey::isDefinitionsAreUpToDate), false);
    EXPECT_FALSE(standardDefaults().date(SettingsKey::definitionLastUpdatedOnDate));
}

TEST_F(DefinitionsUpdate, AnotherProcessWaitsForTheUpdateToEnd)
{
    installDatabase("1.0");
    serveArchive({{"bgx.db", databaseBytes("2.0")}});
    std::promise<void> gate;
    answersHeldUntil = gate.get_future().share();
    std::promise<bool> installed;
    UpdateDatabase::shared().downloadDatabase([&](bool done) { installed.set_value(done); });
    // The update holds the lock from before its download until its install has ended.
    ASSERT_TRUE(platform::dispatch::runMainLoopUntil([&] { return requests == 1; }, hangGuard));

    const auto marker = testsupport::platformRootFolder() / "second-acquired";
    auto second = platform::ToolProcess::launch(BG_TAKE_UPDATE_LOCK_TOOL, {marker.string()},
                                                platform::ToolProcess::Capture::Nothing);
    ASSERT_TRUE(second);
    std::this_thread::sleep_for(500ms);
    EXPECT_FALSE(fs::exists(marker)) << "the second process took the lock during the update";

    gate.set_value();
    auto result = installed.get_future();
    ASSERT_EQ(result.wait_for(hangGuard), std::future_status::ready);
    EXPECT_TRUE(result.get());
    EXPECT_EQ(second->waitForExit(), 0);
    EXPECT_TRUE(fs::exists(marker));
}

// Another update holds the lock for longer than the wait: this one fails as a failed
// transfer does, says why, and leaves everything as it was.
TEST_F(DefinitionsUpdate, AnUpdateLockHeldLongerThanTheWaitFailsTheUpdate)
{
    installDatabase("1.0");
    index = "[act]\nversion=2.0\n";
    serveArchive({{"bgx.db", databaseBytes("2.0")}});
    UpdateLock::setMaximumWaitForTesting(300ms);
    const UpdateLock elsewhere;
    ASSERT_TRUE(elsewhere.held());

    testing::internal::CaptureStdout();
    EXPECT_EQ(check(1.0), (CheckResult{false, std::nullopt, std::nullopt}));
    EXPECT_FALSE(download());
    const std::string said = testing::internal::GetCapturedStdout();
    UpdateLock::setMaximumWaitForTesting(UpdateLock::maximumWait);
    EXPECT_NE(said.find("another definitions update is still running"), std::string::npos) << said;
    EXPECT_EQ(requests, 0);
    EXPECT_EQ(DatabaseManager::shared().getVersion(databasePath()), 1.0);
}

// Started from a terminal, an update whose database member is encrypted fails at
// once, as any archive that cannot be unpacked, and the next update takes the lock.
TEST_F(DefinitionsUpdate, AnEncryptedDatabaseFailsTheUpdateFromATerminalAndReleasesTheLock)
{
    installDatabase("1.0");
    serveArchive({{"bgx.db", databaseBytes("2.0")}}, {}, true);
    UpdateLock::setMaximumWaitForTesting(300ms);
    const auto answer = testsupport::answerWithTerminal([&] { return !download() && UpdateLock().held(); }, 30s);
    UpdateLock::setMaximumWaitForTesting(UpdateLock::maximumWait);
    ASSERT_TRUE(answer) << "the update waited on the terminal";
    EXPECT_TRUE(*answer);
    EXPECT_EQ(DatabaseManager::shared().getVersion(databasePath()), 1.0);
    EXPECT_FALSE(fs::exists(downloadedDatabasePath()));
}

} // namespace
