// The records load against a bare loop that runs the same SQL texts and reads the
// same columns without deciphering: the load should cost at most twice the loop.
#include "BenchRoot.h"
#include "DatabaseWriter.h"

#include "Detection/DatabaseManagerReader.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr int recordCount = 10000;

const std::string& benchDatabase()
{
    static const std::string path = [] {
        sigdb::SignatureSource source;
        source.versions = {"1.0"};
        source.folders = {{1, "/Users/%@/Library/Application Support/"}, {2, "/Applications/"}};
        for (int id = 1; id <= recordCount; ++id) {
            const std::string name = "Deceptive " + std::to_string(id);
            source.apps.push_back({id, name, "Adware", "Deceptive App",
                                   {{1, name}, {2, name + ".app"}, {0, "/Library/LaunchAgents/" + name + ".plist"}},
                                   {{"d41d8cd98f00b204e9800998ecf8427e", "da39a3ee5e6b4b0d3255bfef95601890afd80709",
                                     "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855", "Developer"}},
                                   {{"Publisher " + std::to_string(id), "1.0", "web"}}});
        }
        const std::string path = (benchRoot() / "bench.db").string();
        std::string error;
        if (!sigdb::buildDatabase(source, path, error))
            std::abort();
        return path;
    }();
    return path;
}

// Reads every column of every row of `sql`: ids as text, the rest as blobs.
std::size_t readAll(sqlite3* db, const std::string& sql)
{
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
    std::size_t bytes = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        const int columns = sqlite3_column_count(statement);
        for (int column = 0; column < columns; ++column) {
            benchmark::DoNotOptimize(column < 2 ? static_cast<const void*>(sqlite3_column_text(statement, column))
                                                : sqlite3_column_blob(statement, column));
            bytes += static_cast<std::size_t>(sqlite3_column_bytes(statement, column));
        }
    }
    sqlite3_finalize(statement);
    return bytes;
}

void BM_BareLoop(benchmark::State& state)
{
    const auto& path = benchDatabase();
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
        std::size_t bytes = readAll(db, "select * from Constant");
        sqlite3_stmt* records = nullptr;
        sqlite3_prepare_v2(db, "select * from MalwareList", -1, &records, nullptr);
        while (sqlite3_step(records) == SQLITE_ROW) {
            const std::string id = reinterpret_cast<const char*>(sqlite3_column_text(records, 0));
            for (int column = 1; column < 4; ++column)
                benchmark::DoNotOptimize(sqlite3_column_blob(records, column));
            for (const char* table : {"HashList", "Paths", "Publisher"})
                bytes += readAll(db, std::string("select * from ") + table + " where AppId = " + id);
        }
        sqlite3_finalize(records);
        sqlite3_close(db);
        benchmark::DoNotOptimize(bytes);
    }
}

void BM_LoadMalwareList(benchmark::State& state)
{
    const auto& path = benchDatabase();
    for (auto _ : state) {
        const auto records = DatabaseManagerReader::shared().loadMalwareList(path);
        if (records.size() != recordCount)
            state.SkipWithError("wrong record count");
        benchmark::DoNotOptimize(records.data());
    }
}

BENCHMARK(BM_BareLoop)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LoadMalwareList)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarksInBenchRoot(argc, argv);
}
