#include "SignatureDatabaseTest.h"
#include "SourceParser.h"

#include "Detection/DatabaseManager.h"
#include "Detection/DatabaseManagerReader.h"

#include <gtest/gtest.h>


namespace {

class SignatureSource : public detectiontest::SignatureDatabaseTest {};

TEST_F(SignatureSource, ParsesEntriesAndAttachesChildrenToTheAppAbove)
{
    std::string error;
    const auto source = sigdb::parseSource("# sample\n"
                                           "version: 2.0\n"
                                           "folder: 1 | /Users/%@/Library/\n"
                                           "\n"
                                           "app: 5 | Name | Sig | Status\n"
                                           "  path: 1 | Name.app\n"
                                           "  hash: a | b | c | d\n"
                                           "  publisher: P | 1.0 |\n",
                                           error);
    ASSERT_TRUE(source) << error;
    EXPECT_EQ(source->versions, std::vector<std::string>{"2.0"});
    ASSERT_EQ(source->folders.size(), 1u);
    EXPECT_EQ(source->folders[0].folderPath, "/Users/%@/Library/");
    ASSERT_EQ(source->apps.size(), 1u);
    EXPECT_EQ(source->apps[0].paths[0].path, "Name.app");
    EXPECT_EQ(source->apps[0].hashes[0].cert, "d");
    EXPECT_EQ(source->apps[0].publishers[0].appSource, "");
}

TEST_F(SignatureSource, FaultsNameTheirLine)
{
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"path: 1 | x\n", "line 1: a path, hash or publisher before any app"},
        {"version: 1\nbogus: 1\n", "line 2: unknown keyword \"bogus\""},
        {"app: x | a | b | c\n", "line 1: \"x\" is not an id"},
        {"app: 1 | a | b\n", "line 1: app takes 4 fields"},
        {"no colon\n", "line 1: no \"keyword:\""},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(sigdb::parseSource(c.text, error)) << c.text;
        EXPECT_EQ(error, c.error);
    }
}

TEST_F(SignatureSource, ShippedSampleBuildsAndLoads)
{
    std::string error;
    const auto source = sigdb::parseSource(testsupport::readFileText(SAMPLE_RECORDS_SOURCE), error);
    ASSERT_TRUE(source) << error;
    ASSERT_TRUE(sigdb::buildDatabase(*source, dbPath, error)) << error;

    testing::internal::CaptureStdout();
    EXPECT_EQ(DatabaseManager::shared().getVersion(dbPath), 1.0);
    const auto records = DatabaseManagerReader::shared().loadMalwareList(dbPath);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_EQ(records.size(), source->apps.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].appName, source->apps[i].appName);
        EXPECT_EQ(records[i].paths->size(), source->apps[i].paths.size());
        for (const auto& paths : *records[i].paths)
            EXPECT_EQ(paths.path.path->find("%@"), std::string::npos);
    }
}

} // namespace
