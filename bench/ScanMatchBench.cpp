// The scan's matching over 20,000 records that are all found (each a file in
// ~/Downloads), as a scan runs it on a pool thread: it should take well under a
// second on top of reading the records.
#include "BenchRoot.h"
#include "DatabaseWriter.h"

#include "Detection/Scan.h"
#include "Foundation/UserPaths.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr int foundRecords = 20000;

std::string plantedName(int id)
{
    return "Found " + std::to_string(id) + ".dat";
}

void plantFoundRecords()
{
    const std::filesystem::path downloads = userPath("/Downloads");
    std::filesystem::create_directories(downloads);
    sigdb::SignatureSource source;
    source.versions = {"1.0"};
    source.folders = {{1, "/Users/%@/Downloads/"}};
    for (int id = 1; id <= foundRecords; ++id) {
        const int fd = ::open((downloads / plantedName(id)).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
        if (fd < 0)
            std::abort();
        ::close(fd);
        source.apps.push_back({id, "Found " + std::to_string(id), "Adware", "Deceptive App",
                               {{1, plantedName(id)}}, {}, {}});
    }
    std::filesystem::create_directories(std::filesystem::path(databasePath()).parent_path());
    std::string error;
    if (!sigdb::buildDatabase(source, databasePath(), error))
        std::abort();
}

void BM_MatchTwentyThousandFindings(benchmark::State& state)
{
    plantFoundRecords();
    Scan& scan = Scan::shared();
    for (auto _ : state) {
        scan.pIndex = 0;
        scan.matchMalware();
        if (scan.scanList.size() != foundRecords || scan.pIndex != foundRecords)
            state.SkipWithError("not every planted record found");
    }
    state.counters["findings"] = static_cast<double>(scan.scanList.size());
}
BENCHMARK(BM_MatchTwentyThousandFindings)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarksInBenchRoot(argc, argv);
}
