#include "ScanTestWorld.h"

#include "Detection/DatabaseManager.h"
#include "Detection/DatabaseManagerReader.h"
#include "Foundation/UserPaths.h"
#include "Platform/Bundle/Bundle.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The process's main bundle: an application bundle outside the platform root
// (which each test empties) that ships a database of version 0.5 with one record.
class ShippedDatabaseBundle : public ::testing::Environment {
public:
    void SetUp() override
    {
        const auto resources = folder / "Bastion Guardpoint.app/Contents/Resources";
        fs::create_directories(resources);
        sigdb::SignatureSource source;
        source.versions = {"0.5"};
        source.apps = {{1, "Shipped", "Adware", "Deceptive App", {}, {}, {}}};
        std::string error;
        ASSERT_TRUE(sigdb::buildDatabase(source, (resources / "BGX.db").string(), error)) << error;
        platform::Bundle::setMainBundlePath((folder / "Bastion Guardpoint.app").string());
    }

    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    static fs::path shippedDatabase() { return folder / "Bastion Guardpoint.app/Contents/Resources/BGX.db"; }

private:
    static inline const fs::path folder = fs::temp_directory_path() / ("bg-shipped-bundle-" + std::to_string(getpid()));
};

[[maybe_unused]] const auto* shippedBundle = ::testing::AddGlobalTestEnvironment(new ShippedDatabaseBundle);

class ShippedDatabase : public detectiontest::SignatureDatabaseTest {};

TEST_F(ShippedDatabase, MissingInstalledDatabaseIsInstalledFromTheBundleThenRead)
{
    ASSERT_FALSE(fs::exists(databasePath()));
    const auto records = DatabaseManagerReader::shared().loadMalwareList(databasePath());
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].appName, "Shipped");
    EXPECT_EQ(DatabaseManager::shared().getVersion(databasePath()), 0.5);
}

TEST_F(ShippedDatabase, InstalledDatabaseIsNeverOverwritten)
{
    sigdb::SignatureSource source;
    source.versions = {"3.0"};
    fs::create_directories(fs::path(databasePath()).parent_path());
    build(databasePath(), source);
    EXPECT_EQ(DatabaseManager::shared().getVersion(databasePath()), 3.0);
}

// The scan over an installed database whose records cannot be read.
class UnreadableDatabase : public detectiontest::ScanWorld {
protected:
    void expectTheShippedRecordsInstalled(const char* name) const
    {
        const auto records = malwareRecords().current();
        ASSERT_EQ(records->size(), 1u) << name;
        EXPECT_EQ(records->front().appName, "Shipped") << name;
        EXPECT_EQ(testsupport::readFileText(databasePath()),
                  testsupport::readFileText(ShippedDatabaseBundle::shippedDatabase()))
            << name;
    }
};

TEST_F(UnreadableDatabase, TheShippedRecordsAreInstalledAgainAndScanned)
{
    const struct {
        const char* name;
        std::optional<std::string> contents; // absent: no installed database
    } cases[] = {{"garbage", std::string(2048, '\x5a')},
                 {"empty", std::string()},
                 {"no records", std::nullopt},
                 {"missing", std::nullopt}};
    for (const auto& c : cases) {
        fs::remove(databasePath());
        if (c.contents)
            testsupport::plantFile(databasePath(), *c.contents);
        else if (std::string(c.name) == "no records")
            build(databasePath(), sigdb::SignatureSource{});
        malwareRecords().clear();
        testing::internal::CaptureStdout();
        const auto end = scanToEnd();
        testing::internal::GetCapturedStdout();
        EXPECT_TRUE(end.isScanCompleted) << c.name;
        EXPECT_TRUE(end.scanList.empty()) << c.name;
        expectTheShippedRecordsInstalled(c.name);
    }
}

TEST_F(UnreadableDatabase, ScanDoesNotCompleteWhenNoRecordsCanBeRead)
{
    const auto shipped = testsupport::readFileText(ShippedDatabaseBundle::shippedDatabase());
    testsupport::plantFile(ShippedDatabaseBundle::shippedDatabase(), "not a database");
    testsupport::plantFile(databasePath(), "");
    testing::internal::CaptureStdout();
    const auto end = scanToEnd();
    testing::internal::GetCapturedStdout();
    testsupport::plantFile(ShippedDatabaseBundle::shippedDatabase(), shipped);
    EXPECT_FALSE(end.isScanCompleted);
    EXPECT_TRUE(end.scanList.empty());
    EXPECT_FALSE(Scan::shared().isScanRunning);
}

} // namespace
