// The application's scan with its progress screen showing against the engine's
// scan alone, run by run over 200,000 files (offline, so no definitions are
// fetched): the scan with the screen should take at most 1.3 times as long.
// Every progress post reaches the screen; only its repaints may be coalesced.
#include "BenchRoot.h"
#include "DatabaseWriter.h"
#include "PairedRuns.h"
#include "ScanTree.h"

#include "Detection/Scan.h"
#include "Foundation/PresentationSlots.h"
#include "Foundation/UserPaths.h"
#include "Platform/Dispatch/QtMainLoop.h"
#include "Platform/Notifications/NotificationCenter.h"
#include "Platform/Values/PropertyList.h"
#include "Screens/Scan/ScanProcessViewController.h"

#include <QApplication>
#include <QEventLoop>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr int treeFiles = 200000;

// A few records installed, so the matching has work and the scan completes.
void installDatabase()
{
    sigdb::SignatureSource source;
    source.versions = {"1.0"};
    source.folders = {{1, "/Applications/"}};
    for (int id = 1; id <= 20; ++id)
        source.apps.push_back({id, "Deceptive " + std::to_string(id), "Adware", "Deceptive App",
                               {{1, "Deceptive " + std::to_string(id) + ".app"}}, {}, {}});
    std::filesystem::create_directories(std::filesystem::path(databasePath()).parent_path());
    std::string error;
    if (!sigdb::buildDatabase(source, databasePath(), error))
        std::abort();
}

// One scan from its start to its completion on the Qt event loop; the progress posts made.
std::int64_t runScan()
{
    QEventLoop loop;
    std::int64_t posts = 0;
    auto& center = platform::NotificationCenter::defaultCenter();
    auto progress = center.addObserver("NotifyScanProcessBGX", [&](const platform::Notification&) { ++posts; });
    auto completion = center.addObserver("NotifyScanProcessCompleteBGX", [&](const auto&) { loop.quit(); });
    Scan::shared().startScan();
    loop.exec();
    return posts;
}

void BM_ScanWithProgressScreenAgainstEngine(benchmark::State& state)
{
    scantree::growTree(treeFiles);
    runScan(); // both measured with a warm cache
    PairedRuns runs;
    for (auto _ : state) {
        std::int64_t enginePosts = 0, screenPosts = 0;
        runs.run([&] { enginePosts = runScan(); },
                 [&] {
                     ScanProcessViewController screen;
                     screen.resize(700, 460);
                     screen.show();
                     screenPosts = runScan();
                 });
        state.SetIterationTime(runs.lastSeconds());
        if (screenPosts != enginePosts || screenPosts < 2 * std::int64_t{scantree::walkedFiles(treeFiles)})
            state.SkipWithError("not every progress post made");
    }
    runs.report(state);
}
BENCHMARK(BM_ScanWithProgressScreenAgainstEngine)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    benchRoot();
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("BG_NETWORK_REACHABLE", "0", 1);
    ::setenv("BG_ANALYTICS_URL", "http://127.0.0.1:9/collect", 1);
    QApplication application(argc, argv);
    platform::dispatch::attachToQtEventLoop();
    if (const auto table = platform::readPropertyListFile(BG_ENGLISH_TABLE); table && table->asDictionary())
        languageTable() = *table->asDictionary();
    installDatabase();
    return runBenchmarksInBenchRoot(argc, argv);
}
