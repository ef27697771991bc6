#include "ScanTestWorld.h"

#include "Detection/DatabaseManagerReader.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace {

// The scan world with records that name protected places or leave the root, each
// place holding a file, beside the world's well-formed records.
class HostileRecords : public detectiontest::ScanWorld {
protected:
    void SetUp() override
    {
        ScanWorld::SetUp();
        fs::create_directories(outside);
        fs::create_directory_symlink(outside, home / "Downloads/outside");
        fs::create_directory_symlink(home, home / "Downloads/home");
        const std::string login = platform::userName();
        const std::string leaving = "/Users/" + login + "/../../../" + outside.filename().string() + "/victim.txt";
        const std::vector<sigdb::SourcePath> hostilePaths{
            {1, ""},                        // "/Users/%@/"
            {0, "/Users/" + login},          // the home folder, written out
            {0, "/"},
            {0, "/Users"},
            {0, "/Library"},
            {1, "Library/Keychains"},
            {1, "Library/LaunchAgents/"},
            {1, "Documents"},
            {0, leaving},                    // ".." components
            {1, "Downloads/outside"},        // a link to a folder outside the root
            {1, "Downloads/outside/victim.txt"},
            {1, "Downloads/home"},           // a link to the home folder
        };
        std::int64_t id = 10;
        for (const auto& path : hostilePaths)
            source.apps.push_back({id++, "Hostile", "Adware", "Deceptive App", {path}, {}, {}});
        installDatabase(source);
        for (const auto& file : {home / "Documents/report.txt", home / "Desktop/photo.jpg",
                                 home / "Library/Keychains/login.keychain-db",
                                 home / "Library/LaunchAgents/com.example.agent.plist",
                                 testsupport::underRoot("/Library/Preferences/system.plist"),
                                 testsupport::underRoot("/top.txt"), outside / "victim.txt"})
            victims.push_back(testsupport::plantFile(file));
    }

    void TearDown() override
    {
        ScanWorld::TearDown();
        fs::remove_all(outside);
    }

    // Every file that nothing may find or remove.
    void expectVictimsUntouched() const
    {
        for (const auto& victim : victims)
            EXPECT_TRUE(fs::exists(victim)) << victim;
        EXPECT_TRUE(fs::is_directory(home / "Downloads/outside"));
        EXPECT_TRUE(fs::is_directory(home / "Downloads/home"));
    }

    fs::path outside = testsupport::platformRootFolder().string() + "-outside";
    std::vector<fs::path> victims;
};

// A results row with every path of the record and its sub-paths.
ScanResult rowOf(const MalwareList& record)
{
    ScanResult row;
    row.isSelected = true;
    row.items.emplace();
    for (const auto& paths : record.paths.value_or(std::vector<Paths>{})) {
        row.items->push_back({paths.path.path});
        for (const auto& subPath : paths.path.subPaths.value_or(std::vector<std::string>{}))
            row.items->push_back({subPath});
    }
    return row;
}

TEST_F(HostileRecords, AreNotFoundAndListNothing)
{
    const auto end = scanToEnd();
    EXPECT_TRUE(end.isScanCompleted);
    ASSERT_EQ(end.scanList.size(), 1u);
    EXPECT_EQ(end.scanList[0].appName, "Setup");
    for (const auto& record : *malwareRecords().current()) {
        if (record.id < 10)
            continue;
        ASSERT_TRUE(record.paths && record.paths->size() == 1u) << record.id;
        const Path& named = record.paths->front().path;
        EXPECT_TRUE(named.path) << record.id;
        EXPECT_FALSE(named.subPaths) << named.path.value_or("");
    }
}

TEST_F(HostileRecords, TheCleanOfTheScanRemovesOnlyWhatWellFormedRecordsName)
{
    std::vector<ScanResult> rows;
    for (const auto& record : scanToEnd().scanList)
        rows.push_back(rowOf(record));
    cleanToEnd(std::move(rows));
    expectVictimsUntouched();
    EXPECT_FALSE(fs::exists(setupApp));
    EXPECT_FALSE(fs::exists(home / "Library/Application Support/Qlorvex/a.txt"));
}

TEST_F(HostileRecords, TheCleanRefusesEveryProtectedItemItIsGiven)
{
    appGroupDefaults()->setBool(SettingsKey::moveDeletedToTrash, false);
    // Every path of every record, as if the scan had found them all.
    std::vector<ScanResult> rows;
    for (const auto& record : DatabaseManagerReader::shared().loadMalwareList(databasePath()))
        rows.push_back(rowOf(record));
    testing::internal::CaptureStdout();
    cleanToEnd(std::move(rows));
    testing::internal::GetCapturedStdout();
    expectVictimsUntouched();
    EXPECT_FALSE(fs::exists(setupApp));
}

} // namespace
