#pragma once

#include "DatabaseWriter.h"
#include "TestRoot.h"

#include <string>
#include <utility>
#include <vector>

namespace detectiontest {

using Row = std::pair<std::string, std::vector<sigdb::Cell>>;

// A fresh platform root with a signature database that each test builds.
class SignatureDatabaseTest : public testsupport::PlatformRootTest {
protected:
    // Writes the source's entries, then the raw rows, into a new database at `path`.
    static void build(const std::string& path, const sigdb::SignatureSource& source,
                      const std::vector<Row>& rows = {})
    {
        std::string error;
        auto writer = sigdb::DatabaseWriter::create(path, error);
        ASSERT_TRUE(writer) << error;
        ASSERT_TRUE(writer->insert(source)) << writer->lastError();
        for (const auto& [table, cells] : rows)
            ASSERT_TRUE(writer->insert(table, cells)) << writer->lastError();
        ASSERT_TRUE(writer->commit()) << writer->lastError();
    }

    std::string dbPath = (testsupport::platformRootFolder() / "signatures.db").string();
};

} // namespace detectiontest
