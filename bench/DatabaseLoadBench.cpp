// The records load against a bare loop that runs the same SQL texts and
// deciphers the same fields, building nothing: at 10,000 and 100,000 records the
// load should cost at most 1.25 times the loop. A database shipped without the
// child tables' AppId indexes is indexed on its first read, then loads as fast.
#include "BenchRoot.h"
#include "DatabaseWriter.h"
#include "PairedRuns.h"

#include "Detection/DatabaseManagerReader.h"
#include "Detection/FieldCipher.h"
#include "Foundation/UserPaths.h"
#include "Platform/Root/PlatformRoot.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

namespace fs = std::filesystem;

namespace {

sigdb::SignatureSource benchSource(int records)
{
    sigdb::SignatureSource source;
    source.versions = {"1.0"};
    source.folders = {{1, "/Users/%@/Library/Application Support/"}, {2, "/Applications/"}};
    for (int id = 1; id <= records; ++id) {
        const std::string name = "Deceptive " + std::to_string(id);
        source.apps.push_back({id, name, "Adware", "Deceptive App",
                               {{1, name}, {2, name + ".app"}, {0, "/Library/LaunchAgents/" + name + ".plist"}},
                               {{"d41d8cd98f00b204e9800998ecf8427e", "da39a3ee5e6b4b0d3255bfef95601890afd80709",
                                 "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855", "Developer"}},
                               {{"Publisher " + std::to_string(id), "1.0", "web"}}});
    }
    return source;
}

// The folders the records' paths lie in exist, as on a user's machine, so each
// path's test looks up its last name.
void plantRecordFolders()
{
    for (const char* folder : {"/Applications", "/Library/LaunchAgents"})
        fs::create_directories(platform::hostPath(folder));
    fs::create_directories(platform::hostPath("/Users/" + platform::userName() + "/Library/Application Support"));
}

// A database of `records` records (made once per count), with its indexes.
const std::string& benchDatabase(int records)
{
    static std::map<int, std::string> made;
    auto& path = made[records];
    if (path.empty()) {
        benchRoot();
        plantRecordFolders();
        path = (benchRoot() / ("bench-" + std::to_string(records) + ".db")).string();
        std::string error;
        if (!sigdb::buildDatabase(benchSource(records), path, error))
            std::abort();
    }
    return path;
}

void execute(const std::string& dbPath, const char* sql)
{
    sqlite3* db = nullptr;
    const bool done = sqlite3_open_v2(dbPath.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
                      sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    if (!done)
        std::abort();
}

// The database of `records` records installed without its AppId indexes, as a
// definitions server may ship it.
void installUnindexed(int records)
{
    const std::string& installed = databasePath();
    fs::create_directories(fs::path(installed).parent_path());
    fs::copy_file(benchDatabase(records), installed, fs::copy_options::overwrite_existing);
    execute(installed, "drop index HashListAppId; drop index PathsAppId; drop index PublisherAppId");
}

// Steps every row of `sql`, reading the id columns (those before `firstEnciphered`)
// as text and deciphering the rest.
std::size_t readAll(sqlite3* db, const std::string& sql, int firstEnciphered)
{
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
    std::size_t fields = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        const int columns = sqlite3_column_count(statement);
        for (int column = 0; column < firstEnciphered; ++column)
            benchmark::DoNotOptimize(sqlite3_column_text(statement, column));
        for (int column = firstEnciphered; column < columns; ++column)
            fields += decipherField(sqlite3_column_blob(statement, column), sqlite3_column_bytes(statement, column))
                          .has_value();
    }
    sqlite3_finalize(statement);
    return fields;
}

// The floor of a load: its selects and its deciphers, nothing built.
void runBareLoop(const std::string& dbPath)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(dbPath.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
    std::size_t fields = readAll(db, "select * from Constant", 1);
    sqlite3_stmt* records = nullptr;
    sqlite3_prepare_v2(db, "select * from MalwareList", -1, &records, nullptr);
    while (sqlite3_step(records) == SQLITE_ROW) {
        const std::string id = reinterpret_cast<const char*>(sqlite3_column_text(records, 0));
        for (int column = 1; column < 4; ++column)
            fields += decipherField(sqlite3_column_blob(records, column), sqlite3_column_bytes(records, column))
                          .has_value();
        fields += readAll(db, "select * from HashList where AppId = " + id, 2);
        fields += readAll(db, "select * from Paths where AppId = " + id, 3);
        fields += readAll(db, "select * from Publisher where AppId = " + id, 2);
    }
    sqlite3_finalize(records);
    sqlite3_close(db);
    benchmark::DoNotOptimize(fields);
}

// The records of `dbPath`, destroyed by the caller outside the measured time.
std::vector<MalwareList> loadExpecting(benchmark::State& state, const std::string& dbPath, int records)
{
    auto loaded = DatabaseManagerReader::shared().loadMalwareList(dbPath);
    if (loaded.size() != static_cast<std::size_t>(records))
        state.SkipWithError("wrong record count");
    return loaded;
}

void BM_LoadAgainstBareLoop(benchmark::State& state)
{
    const auto records = static_cast<int>(state.range(0));
    const auto& path = benchDatabase(records);
    runBareLoop(path); // both measured with a warm cache
    PairedRuns runs;
    for (auto _ : state) {
        std::vector<MalwareList> loaded;
        runs.run([&] { runBareLoop(path); }, [&] { loaded = loadExpecting(state, path, records); });
        state.SetIterationTime(runs.lastSeconds());
    }
    runs.report(state);
}
BENCHMARK(BM_LoadAgainstBareLoop)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// The first read of an installed database that came without indexes (adding
// them, then the load) against the bare loop over the indexed one.
void BM_UnindexedLoadAgainstBareLoop(benchmark::State& state)
{
    const auto records = static_cast<int>(state.range(0));
    const auto& indexed = benchDatabase(records);
    runBareLoop(indexed);
    PairedRuns runs;
    for (auto _ : state) {
        installUnindexed(records);
        std::vector<MalwareList> loaded;
        runs.run([&] { runBareLoop(indexed); }, [&] { loaded = loadExpecting(state, databasePath(), records); });
        state.SetIterationTime(runs.lastSeconds());
    }
    runs.report(state);
}
BENCHMARK(BM_UnindexedLoadAgainstBareLoop)
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarksInBenchRoot(argc, argv);
}
