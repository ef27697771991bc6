// The scan's matching over 20,000 records that are all found (each a file in
// ~/Downloads), as a scan runs it on a pool thread: it should take well under a
// second on top of reading the records. And 10,000 records finding 20,000 paths
// against the same records finding none, in the matching and in a whole scan: a
// scan should cost at most 1.5 times as much.
#include "BenchRoot.h"
#include "DatabaseWriter.h"
#include "PairedRuns.h"
#include "ScanTree.h"

#include "Detection/Scan.h"
#include "Detection/SharedLists.h"
#include "Foundation/UserPaths.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Notifications/NotificationCenter.h"
#include "Platform/Root/PlatformRoot.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include <unistd.h>

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
        scantree::touch(downloads / plantedName(id));
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

// Where each of the installed programs keeps one of its four paths.
const std::vector<sigdb::SourceFolder> installFolders{{1, "/Users/%@/Library/Application Support/"},
                                                      {2, "/Applications/"},
                                                      {3, "/Users/%@/Library/LaunchAgents/"},
                                                      {4, "/Users/%@/Library/Preferences/"}};
constexpr int installRecords = 10000;
constexpr int installedPrograms = 5000;

std::vector<sigdb::SourcePath> installPathsOf(const std::string& name)
{
    return {{1, name}, {2, name + ".app"}, {3, "com." + name + ".agent.plist"}, {4, "com." + name + ".plist"}};
}

// Installed programs "Qlorvex <n>", each with a support folder, a bundle, a launch
// agent and a preferences file.
void plantInstalledPrograms()
{
    const std::filesystem::path home = userPath("");
    for (const char* folder : {"Library/LaunchAgents", "Library/Preferences"})
        std::filesystem::create_directories(home / folder);
    for (int n = 1; n <= installedPrograms; ++n) {
        const std::string name = "Qlorvex" + std::to_string(n);
        std::filesystem::create_directories(home / "Library/Application Support" / name);
        std::filesystem::create_directories(platform::hostPath("/Applications/" + name + ".app/Contents"));
        scantree::touch(home / "Library/Application Support" / name / "settings");
        scantree::touch(platform::hostPath("/Applications/" + name + ".app/Contents/Info.plist"));
        scantree::touch(home / "Library/LaunchAgents" / ("com." + name + ".agent.plist"));
        scantree::touch(home / "Library/Preferences" / ("com." + name + ".plist"));
    }
}

// 10,000 records whose first `named` name the installed programs; the rest name others.
std::string installDatabase(const std::string& file, int named)
{
    sigdb::SignatureSource source;
    source.versions = {"1.0"};
    source.folders = installFolders;
    for (int id = 1; id <= installRecords; ++id) {
        const std::string name = (id <= named ? "Qlorvex" : "Absent") + std::to_string(id);
        source.apps.push_back({id, name, "Adware", "Deceptive App", installPathsOf(name), {}, {}});
    }
    const std::string path = (benchRoot() / file).string();
    std::filesystem::create_directories(std::filesystem::path(databasePath()).parent_path());
    std::string error;
    if (!sigdb::buildDatabase(source, path, error))
        std::abort();
    return path;
}

// The installed programs and the two databases over them, made once.
struct InstalledWorld {
    std::string finding;
    std::string findingNone;
};

const InstalledWorld& installedWorld()
{
    static const InstalledWorld world = [] {
        plantInstalledPrograms();
        InstalledWorld made{installDatabase("finding.db", installedPrograms), installDatabase("finding-none.db", 0)};
        ::sync(); // the planted files written out, not flushed while the scans run
        return made;
    }();
    return world;
}

// Runs `work` with `database` installed for it; the paths the scan found count.
std::size_t foundWith(const std::string& database, const std::function<void()>& work)
{
    std::filesystem::rename(database, databasePath());
    Scan::shared().pIndex = 0;
    work();
    std::filesystem::rename(databasePath(), database);
    return static_cast<std::size_t>(Scan::shared().pIndex);
}

// The results and records of the last scan freed, so that neither part pays for
// the other's.
void forgetLastScan()
{
    Scan::shared().scanList.clear();
    malwareRecords().clear();
}

void matchOnly()
{
    Scan::shared().matchMalware();
}

// A whole scan, the walk of the scan roots beside the matching, from its start to
// its completion.
void wholeScan()
{
    bool ended = false;
    auto completion = platform::NotificationCenter::defaultCenter().addObserver(
        "NotifyScanProcessCompleteBGX", [&](const platform::Notification&) { ended = true; });
    Scan::shared().startScan();
    platform::dispatch::runMainLoopUntil([&] { return ended; }, std::chrono::minutes(10));
}

void runFindingAgainstNone(benchmark::State& state, void (*scanPart)())
{
    platform::dispatch::adoptMainThread();
    const InstalledWorld& world = installedWorld();
    PairedRuns runs;
    std::size_t found = 0;
    std::size_t foundByNone = 0;
    // One pair unmeasured: the first read of each database adds its indexes, and the
    // first listing of each planted folder stamps its access time, once only.
    foundWith(world.findingNone, scanPart);
    foundWith(world.finding, scanPart);
    for (auto _ : state)
        runs.run(forgetLastScan, [&] { foundByNone = foundWith(world.findingNone, scanPart); },
                 [&] { found = foundWith(world.finding, scanPart); });
    if (foundByNone != 0 || found < 4 * installedPrograms)
        state.SkipWithError("the records found other than the planted paths");
    runs.report(state);
    state.counters["found_paths"] = static_cast<double>(found);
}

void BM_MatchTwentyThousandPathsAgainstNone(benchmark::State& state)
{
    runFindingAgainstNone(state, matchOnly);
}
BENCHMARK(BM_MatchTwentyThousandPathsAgainstNone)->Unit(benchmark::kMillisecond)->Iterations(11);

void BM_ScanFindingTwentyThousandPathsAgainstNone(benchmark::State& state)
{
    runFindingAgainstNone(state, wholeScan);
}
BENCHMARK(BM_ScanFindingTwentyThousandPathsAgainstNone)->Unit(benchmark::kMillisecond)->Iterations(11);

} // namespace

int main(int argc, char** argv)
{
    ::setenv("BG_NETWORK_REACHABLE", "0", 1);
    ::setenv("BG_ANALYTICS_URL", "http://127.0.0.1:9/collect", 1);
    return runBenchmarksInBenchRoot(argc, argv);
}
