#include "SignatureDatabaseTest.h"

#include "Detection/DatabaseIndexes.h"
#include "Detection/DatabaseManagerReader.h"
#include "Detection/InstalledDatabase.h"
#include "Foundation/UserPaths.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* dropIndexes = "drop index HashListAppId; drop index PathsAppId; drop index PublisherAppId;";

void execute(const std::string& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* message = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK) << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
}

// Every row of `sql`, its columns as text joined by "|".
std::vector<std::string> rowsOf(const std::string& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
    std::vector<std::string> rows;
    while (statement && sqlite3_step(statement) == SQLITE_ROW) {
        std::string row;
        for (int column = 0; column < sqlite3_column_count(statement); ++column) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
            row.append(text ? text : "NULL").append("|");
        }
        rows.push_back(row);
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

// The tables, views and every row: what indexing must leave as it was.
std::vector<std::string> contentsOf(const std::string& path)
{
    auto contents = rowsOf(path, "select type, name, sql from sqlite_schema where type != 'index' order by name");
    for (const char* table : {"VersionList", "MalwareList", "Constant", "HashList", "Paths", "Publisher"})
        for (const auto& row : rowsOf(path, std::string("select * from ") + table))
            contents.push_back(table + (" " + row));
    return contents;
}

// The first column of each index of `table`, by index name.
std::vector<std::string> indexesOf(const std::string& path, const std::string& table)
{
    return rowsOf(path, "select list.name, info.name from pragma_index_list('" + table +
                            "') as list, pragma_index_info(list.name) as info where info.seqno = 0 order by list.name");
}

class DatabaseIndexes : public detectiontest::SignatureDatabaseTest {
protected:
    static sigdb::SignatureSource twoRecords()
    {
        sigdb::SignatureSource source;
        source.versions = {"2.0"};
        source.folders = {{1, "/Applications/"}};
        source.apps = {{7, "Qlorvex", "Adware", "Deceptive App", {{1, "Qlorvex.app"}}, {{"m", "s1", "s256", "c"}},
                        {{"Qlorvex Labs", "1.2", "web"}}},
                       {3, "Snapfyre", "Hijacker", "Deceptive App", {{0, "/Library/Snapfyre"}}, {}, {}}};
        return source;
    }

    // A database of the two records at `path`, shipped without the AppId indexes.
    void buildUnindexed(const std::string& path)
    {
        build(path, twoRecords());
        execute(path, dropIndexes);
    }
};

TEST_F(DatabaseIndexes, EachChildTableGainsAnAppIdIndexAndNothingElseChanges)
{
    buildUnindexed(dbPath);
    const auto before = contentsOf(dbPath);
    addMissingIndexes(dbPath);
    addMissingIndexes(dbPath);
    EXPECT_EQ(contentsOf(dbPath), before);
    for (const std::string table : {"HashList", "Paths", "Publisher"})
        EXPECT_EQ(indexesOf(dbPath, table), std::vector<std::string>{table + "AppId|AppId|"}) << table;
}

TEST_F(DatabaseIndexes, AnIndexThatServesIsKeptAndWhatCannotBeIndexedIsLeft)
{
    buildUnindexed(dbPath);
    execute(dbPath, "create index ByApp on HashList (appid, Id); drop table Paths; "
                    "create view Paths as select * from HashList; drop table Publisher;");
    const auto before = contentsOf(dbPath);
    addMissingIndexes(dbPath);
    EXPECT_EQ(contentsOf(dbPath), before);
    EXPECT_EQ(indexesOf(dbPath, "HashList"), std::vector<std::string>{"ByApp|AppId|"});
    EXPECT_TRUE(rowsOf(dbPath, "select name from sqlite_schema where name = 'Publisher'").empty());

    const auto missing = (testsupport::platformRootFolder() / "missing.db").string();
    addMissingIndexes(missing);
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(DatabaseIndexes, InstalledDatabaseIsIndexedAtItsInstallAndAtItsFirstLoad)
{
    fs::create_directories(fs::path(downloadedDatabasePath()).parent_path());
    buildUnindexed(downloadedDatabasePath());
    ASSERT_TRUE(replaceInstalledDatabase(downloadedDatabasePath()));
    EXPECT_EQ(indexesOf(databasePath(), "Paths"), std::vector<std::string>{"PathsAppId|AppId|"});

    execute(databasePath(), dropIndexes);
    EXPECT_EQ(DatabaseManagerReader::shared().loadMalwareList(databasePath()).size(), 2u);
    for (const std::string table : {"HashList", "Paths", "Publisher"})
        EXPECT_EQ(indexesOf(databasePath(), table), std::vector<std::string>{table + "AppId|AppId|"}) << table;
}

} // namespace
