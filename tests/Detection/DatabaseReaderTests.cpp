#include "SignatureDatabaseTest.h"

#include "Detection/DatabaseManager.h"
#include "Detection/DatabaseManagerReader.h"
#include "Foundation/ProtectedPaths.h"
#include "Platform/Root/PlatformRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ranges>
#include <thread>

namespace {

using detectiontest::Row;
using sigdb::Cell;

class DatabaseReader : public detectiontest::SignatureDatabaseTest {};

Cell enciphered(const std::string& text)
{
    return encipherField(text);
}

TEST_F(DatabaseReader, VersionIsTheLargestNumberOfVersionList)
{
    sigdb::SignatureSource source;
    source.versions = {"1.0", "2.5", "abc"};
    build(dbPath, source);
    EXPECT_EQ(DatabaseManager::shared().getVersion(dbPath), 2.5);
}

TEST_F(DatabaseReader, VersionIsZeroWhenNoneCanBeRead)
{
    build(dbPath, {});
    EXPECT_EQ(DatabaseManager::shared().getVersion(dbPath), 0);

    const auto missing = (testsupport::platformRootFolder() / "missing.db").string();
    testing::internal::CaptureStdout();
    EXPECT_EQ(DatabaseManager::shared().getVersion(missing), 0);
    EXPECT_TRUE(testing::internal::GetCapturedStdout().starts_with("error preparing select: no such table"));
    EXPECT_TRUE(std::filesystem::exists(missing));

    testing::internal::CaptureStdout();
    EXPECT_EQ(DatabaseManager::shared().getVersion("/nonexistent-folder/x.db"), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "error opening database\n");
}

TEST_F(DatabaseReader, LoadsRecordsWithTheirChildRowsInTableOrder)
{
    sigdb::SignatureSource source;
    source.folders = {{1, "/Users/%@/Library/Application Support/"}, {2, "/Applications/"}};
    source.apps = {
        {7, "Qlorvex", "Adware", "Deceptive App", {{1, "Qlorvex"}, {2, "Qlorvex.app"}},
         {{"m", "s1", "s256", "cert"}}, {{"Qlorvex Labs", "1.2", "web"}}},
        {3, "Snapfyre", "Hijacker", "Deceptive App", {{0, "/Library/Snapfyre"}}, {}, {}},
    };
    build(dbPath, source);

    const auto records = DatabaseManagerReader::shared().loadMalwareList(dbPath);
    ASSERT_EQ(records.size(), 2u);
    const auto& first = records[0];
    EXPECT_EQ(first.id, 7);
    EXPECT_EQ(first.appName, "Qlorvex");
    EXPECT_EQ(first.sigInfo, "Adware");
    EXPECT_EQ(first.status, "Deceptive App");
    ASSERT_EQ(first.paths->size(), 2u);
    EXPECT_EQ((*first.paths)[0].shortPath, "Qlorvex");
    EXPECT_EQ((*first.paths)[0].commonFolderId, 1);
    EXPECT_EQ((*first.paths)[0].path.path,
              platform::hostPath("/Users/" + platform::userName() + "/Library/Application Support/Qlorvex"));
    EXPECT_EQ((*first.paths)[1].path.path, platform::hostPath("/Applications/Qlorvex.app"));
    ASSERT_EQ(first.hash->size(), 1u);
    EXPECT_EQ((*first.hash)[0].appId, 7);
    EXPECT_EQ((*first.hash)[0].sha256, "s256");
    EXPECT_EQ((*first.hash)[0].cert, "cert");
    ASSERT_EQ(first.publisher->size(), 1u);
    EXPECT_EQ((*first.publisher)[0].publisher, "Qlorvex Labs");
    EXPECT_EQ((*first.publisher)[0].appSource, "web");
    EXPECT_FALSE(first.icon);

    const auto& second = records[1];
    EXPECT_EQ(second.id, 3);
    EXPECT_EQ((*second.paths)[0].path.path, platform::hostPath("/Library/Snapfyre"));
    EXPECT_TRUE(second.hash && second.hash->empty());
    EXPECT_TRUE(second.publisher && second.publisher->empty());
}

// Every folder a record names is judged for protection as it is listed, against
// one set of protected folders for the whole read, however many are found.
TEST_F(DatabaseReader, TheReadResolvesTheProtectedFoldersOnce)
{
    sigdb::SignatureSource source;
    source.folders = {{1, "/Users/%@/Library/Application Support/"}, {2, "/Applications/"}};
    for (int id = 1; id <= 4; ++id) {
        const std::string name = "Qlorvex" + std::to_string(id);
        testsupport::plantFile(testsupport::homeFolder() / "Library/Application Support" / name / "settings");
        testsupport::plantFile(platform::hostPath("/Applications/" + name + ".app/Contents/Info.plist"));
        source.apps.push_back({id, name, "Adware", "Deceptive App", {{1, name}, {2, name + ".app"}}, {}, {}});
    }
    source.apps.push_back({5, "Library", "Adware", "Deceptive App", {{0, "/Library"}}, {}, {}});
    build(dbPath, source);

    const auto before = ProtectedFolders::resolvedSets();
    const auto records = DatabaseManagerReader::shared().loadMalwareList(dbPath);
    EXPECT_EQ(ProtectedFolders::resolvedSets() - before, 1u);
    ASSERT_EQ(records.size(), 5u);
    for (const auto& record : records | std::views::take(4))
        for (const auto& row : *record.paths)
            EXPECT_EQ(row.path.subPaths->size(), 1u) << *row.path.path;
    EXPECT_FALSE((*records[4].paths)[0].path.subPaths) << "a protected folder is not listed";
}

TEST_F(DatabaseReader, SigInfoReadsDeceptiveAppOnlyWhenTheColumnGivesNoText)
{
    build(dbPath, {},
          {Row{"MalwareList", {std::string("1"), enciphered("A"), nullptr, nullptr}},
           Row{"MalwareList", {std::string("2"), enciphered("B"), Bytes{}, enciphered("s")}},
           Row{"MalwareList", {std::string("3"), enciphered("C"), enciphered(""), nullptr}},
           Row{"MalwareList", {std::string("4"), enciphered("D"), Bytes(15, 1), nullptr}}});
    testing::internal::CaptureStdout();
    const auto records = DatabaseManagerReader::shared().loadMalwareList(dbPath);
    const auto printed = testing::internal::GetCapturedStdout();
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].sigInfo, "Deceptive App");
    EXPECT_EQ(records[0].status, std::nullopt);
    EXPECT_EQ(records[1].sigInfo, "Deceptive App");
    EXPECT_EQ(records[1].status, "s");
    EXPECT_EQ(records[2].sigInfo, "");
    EXPECT_EQ(records[3].sigInfo, "Deceptive App");
    EXPECT_EQ(printed, "Error: -4303\n");
}

TEST_F(DatabaseReader, IdThatDoesNotParseReadsZeroAndTakesTheChildRowsOfZero)
{
    build(dbPath, {},
          {Row{"MalwareList", {std::string("abc"), enciphered("A"), nullptr, nullptr}},
           Row{"MalwareList", {std::string("+12"), enciphered("B"), nullptr, nullptr}},
           Row{"Paths", {std::string("1"), std::string("0"), std::string("0"), enciphered("zero")}},
           Row{"Paths", {std::string("2"), std::string("12"), std::string("0"), enciphered("twelve")}}});
    const auto records = DatabaseManagerReader::shared().loadMalwareList(dbPath);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].id, 0);
    ASSERT_EQ(records[0].paths->size(), 1u);
    EXPECT_EQ((*records[0].paths)[0].shortPath, "zero");
    EXPECT_EQ(records[1].id, 12);
    EXPECT_EQ((*records[1].paths)[0].shortPath, "twelve");
}

TEST_F(DatabaseReader, ConstantFolderTakesTheLoginNameAndNothingElseIsInterpreted)
{
    const std::string user = platform::userName();
    const struct {
        std::int64_t commonFolderId;
        const char* expected; // platform path, "%u" standing for the login name
    } cases[] = {
        {3, "/Users/%u/Library/Foo"},
        {4, "/Users/%u/100%% %d %s %n/%u/Foo"},
        {5, "Foo"}, // the Constant row's folder cannot be deciphered
        {9, "Foo"}, // no Constant row 9
    };
    std::vector<Row> rows = {
        Row{"Constant", {std::string("3"), enciphered("/Users/%@/Library/")}},
        Row{"Constant", {std::string("4"), enciphered("/Users/%@/100%% %d %s %n/%@/")}},
        Row{"Constant", {std::string("5"), Bytes(15, 1)}},
        Row{"MalwareList", {std::string("1"), enciphered("A"), nullptr, nullptr}},
    };
    for (const auto& c : cases)
        rows.push_back(Row{"Paths", {std::to_string(c.commonFolderId), std::string("1"),
                                     std::to_string(c.commonFolderId), enciphered("Foo")}});
    build(dbPath, {}, rows);

    testing::internal::CaptureStdout();
    const auto records = DatabaseManagerReader::shared().loadMalwareList(dbPath);
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(records.size(), 1u);
    ASSERT_EQ(records[0].paths->size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        std::string expected = cases[i].expected;
        for (auto at = expected.find("%u"); at != std::string::npos; at = expected.find("%u"))
            expected.replace(at, 2, user);
        const auto& row = (*records[0].paths)[i];
        EXPECT_EQ(row.shortPath, "Foo") << i;
        EXPECT_EQ(row.path.path, platform::hostPath(expected)) << i;
    }
}

TEST_F(DatabaseReader, MissingTablesGiveEmptyChildListsAndAnEmptyLoad)
{
    const auto missing = (testsupport::platformRootFolder() / "empty.db").string();
    testing::internal::CaptureStdout();
    EXPECT_TRUE(DatabaseManagerReader::shared().loadMalwareList(missing).empty());
    const auto printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("error preparing select: no such table: Constant\n"), std::string::npos) << printed;
    EXPECT_NE(printed.find("error preparing select: no such table: MalwareList\n"), std::string::npos) << printed;
}

TEST_F(DatabaseReader, ConcurrentReadsAgree)
{
    sigdb::SignatureSource source;
    source.versions = {"3.0"};
    for (int id = 1; id <= 50; ++id)
        source.apps.push_back({id, "App" + std::to_string(id), "", "", {{0, "/Applications/A.app"}}, {}, {}});
    build(dbPath, source);

    std::vector<std::thread> threads;
    std::atomic<int> mismatches = 0;
    for (int t = 0; t < 6; ++t)
        threads.emplace_back([&] {
            for (int round = 0; round < 10; ++round) {
                if (DatabaseManagerReader::shared().loadMalwareList(dbPath).size() != 50)
                    ++mismatches;
                if (DatabaseManager::shared().getVersion(dbPath) != 3.0)
                    ++mismatches;
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(mismatches, 0);
}

} // namespace
