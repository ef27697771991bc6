// The scan's walk (both passes over the six scan roots, every progress post
// drained on the main queue) against `find ROOT -type f | wc -l` on the same
// tree in the same run: the walk should cost at most three times the find.
#include "BenchRoot.h"
#include "Detection/Scan.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Notifications/NotificationCenter.h"
#include "Platform/Root/PlatformRoot.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int topFolders = 400;
constexpr int subFolders = 10;
constexpr int filesPerFolder = 50; // every tenth folder holds a bundle of 5 files in place of 5 files
constexpr int bundleFiles = 5;

void touch(const fs::path& path)
{
    std::ofstream(path) << 'x';
}

void plantBundle(const fs::path& bundle)
{
    fs::create_directories(bundle / "Contents/MacOS");
    fs::create_directories(bundle / "Contents/Resources");
    for (const char* file : {"Contents/Info.plist", "Contents/MacOS/tool", "Contents/Resources/a",
                             "Contents/Resources/b", "Contents/Resources/c"})
        touch(bundle / file);
}

// 200,000 files in 4,000 nested folders spread over the six scan roots.
void buildTree()
{
    static bool built = false;
    if (built)
        return;
    for (const auto& root : Scan::shared().quickScanPaths)
        if (!root.starts_with(benchRoot().string()))
            std::abort(); // never outside the bench's own root
    const auto& roots = Scan::shared().quickScanPaths;
    for (int top = 0; top < topFolders; ++top) {
        const fs::path folder = fs::path(roots[top % roots.size()]) / ("t" + std::to_string(top));
        for (int sub = 0; sub < subFolders; ++sub) {
            const fs::path leaf = folder / ("s" + std::to_string(sub));
            fs::create_directories(leaf);
            const bool withBundle = (top * subFolders + sub) % 10 == 0;
            for (int file = 0; file < filesPerFolder - (withBundle ? bundleFiles : 0); ++file)
                touch(leaf / ("f" + std::to_string(file) + ".dat"));
            if (withBundle)
                plantBundle(leaf / "Tool.app");
        }
    }
    built = true;
}

double secondsOf(const auto& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void runFind()
{
    const std::string command = "find '" + benchRoot().string() + "' -type f | wc -l > /dev/null";
    if (std::system(command.c_str()) != 0)
        std::abort();
}

// countFiles() ends with the completion on the main queue: drain until it has run.
void runWalk()
{
    bool ended = false;
    auto token = platform::NotificationCenter::defaultCenter().addObserver(
        "NotifyScanProcessCompleteBGX", [&](const platform::Notification&) { ended = true; });
    Scan::shared().countFiles();
    platform::dispatch::runMainLoopUntil([&] { return ended; }, std::chrono::minutes(5));
}

void BM_ScanWalkAgainstFind(benchmark::State& state)
{
    platform::dispatch::adoptMainThread();
    buildTree();
    runFind(); // both measured with a warm cache
    double findSeconds = 0, walkSeconds = 0;
    for (auto _ : state) {
        findSeconds += secondsOf(runFind);
        const double walk = secondsOf(runWalk);
        walkSeconds += walk;
        state.SetIterationTime(walk);
    }
    state.counters["find_ms"] = findSeconds * 1000 / static_cast<double>(state.iterations());
    state.counters["walk_ms"] = walkSeconds * 1000 / static_cast<double>(state.iterations());
    state.counters["walk_per_find"] = walkSeconds / findSeconds;
}
BENCHMARK(BM_ScanWalkAgainstFind)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarksInBenchRoot(argc, argv);
}
