// The scan's walk as a scan runs it (both passes over the six scan roots on the
// global queue, every progress post drained on the main queue and received)
// against `find ROOT -type f | wc -l` on the same tree, run by run: the walk
// should cost at most 2.2 times the find at 200,000 and at 1,000,000 files, with
// the same peak resident size at both.
#include "BenchRoot.h"
#include "PairedRuns.h"
#include "Detection/Scan.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Notifications/NotificationCenter.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int subFolders = 10;
constexpr int filesPerFolder = 50; // the first folder of each ten holds a bundle of 5 files in place of 5 files
constexpr int filesPerTopFolder = subFolders * filesPerFolder;
constexpr int bundleFiles = 5;
// The walk passes over the files inside bundles: one bundle to a top folder.
constexpr int walkedFilesPerTopFolder = filesPerTopFolder - bundleFiles;

void touch(const fs::path& path)
{
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    if (fd < 0)
        std::abort();
    ::close(fd);
}

void plantBundle(const fs::path& bundle)
{
    fs::create_directories(bundle / "Contents/MacOS");
    fs::create_directories(bundle / "Contents/Resources");
    for (const char* file : {"Contents/Info.plist", "Contents/MacOS/tool", "Contents/Resources/a",
                             "Contents/Resources/b", "Contents/Resources/c"})
        touch(bundle / file);
}

void plantTopFolder(const fs::path& folder)
{
    for (int sub = 0; sub < subFolders; ++sub) {
        const fs::path leaf = folder / ("s" + std::to_string(sub));
        fs::create_directories(leaf);
        const bool withBundle = sub == 0;
        for (int file = 0; file < filesPerFolder - (withBundle ? bundleFiles : 0); ++file)
            touch(leaf / ("f" + std::to_string(file) + ".dat"));
        if (withBundle)
            plantBundle(leaf / "Tool.app");
    }
}

// Grows the tree to `files` files in nested folders spread over the six scan
// roots (the bench root is removed, with the tree, when the benchmarks end).
void growTree(int files)
{
    static int topFolders = 0;
    const auto& roots = Scan::shared().quickScanPaths;
    for (const auto& root : roots)
        if (!root.starts_with(benchRoot().string()))
            std::abort(); // never outside the bench's own root
    for (; topFolders < files / filesPerTopFolder; ++topFolders)
        plantTopFolder(fs::path(roots[topFolders % roots.size()]) / ("t" + std::to_string(topFolders)));
}

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
    growTree(files);
    runFind(); // both measured with a warm cache
    PairedRuns runs;
    for (auto _ : state) {
        std::int64_t posts = 0;
        runs.run(runFind, [&] { posts = runWalk(); });
        state.SetIterationTime(runs.lastSeconds());
        if (posts != 2 * std::int64_t{files / filesPerTopFolder * walkedFilesPerTopFolder})
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
