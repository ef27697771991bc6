// The scan's walk as a scan runs it (both passes over the six scan roots on the
// global queue, every progress post drained on the main queue and received)
// against `find ROOT -type f | wc -l` on the same tree, run by run: the walk
// should cost at most 2.2 times the find at 200,000 and at 1,000,000 files, with
// the same peak resident size at both.
#include "BenchRoot.h"
#include "PairedRuns.h"
#include "ScanTree.h"
#include "Detection/Scan.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Notifications/NotificationCenter.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

void runFind()
{
    const std::string command = "find '" + benchRoot().string() + "' -type f | wc -l > /dev/null";
    if (std::system(command.c_str()) != 0)
        std::abort();
}

// The walk on the global queue, as a scan starts it, while the main queue runs
// its posts until the completion; the number of progress posts received.
std::int64_t runWalk()
{
    bool ended = false;
    std::int64_t posts = 0;
    auto& center = platform::NotificationCenter::defaultCenter();
    auto progress = center.addObserver("NotifyScanProcessBGX", [&](const platform::Notification&) { ++posts; });
    auto completion = center.addObserver("NotifyScanProcessCompleteBGX", [&](const auto&) { ended = true; });
    platform::dispatch::asyncGlobal([] { Scan::shared().countFiles(); });
    platform::dispatch::runMainLoopUntil([&] { return ended; }, std::chrono::minutes(10));
    return posts;
}

void BM_ScanWalkAgainstFind(benchmark::State& state)
{
    platform::dispatch::adoptMainThread();
    const auto files = static_cast<int>(state.range(0));
    scantree::growTree(files);
    runFind(); // both measured with a warm cache
    PairedRuns runs;
    for (auto _ : state) {
        std::int64_t posts = 0;
        runs.run(runFind, [&] { posts = runWalk(); });
        state.SetIterationTime(runs.lastSeconds());
        if (posts != 2 * std::int64_t{scantree::walkedFiles(files)})
            state.SkipWithError("not one progress post per file in each pass");
    }
    runs.report(state);
}
BENCHMARK(BM_ScanWalkAgainstFind)
    ->Arg(200000)
    ->Arg(1000000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarksInBenchRoot(argc, argv);
}
