// One retry of the folders left unwatched while the system's watch table stays
// full, over a tree of 3,061 folders: what the file watcher spends every 5 seconds
// for as long as another program holds the watches.
#include "BenchRoot.h"

#include "Platform/FSEvents/WatchTree.h"

#include <benchmark/benchmark.h>

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr int topFolders = 60;
constexpr int foldersPerTop = 50;

int fullWatchTable(int, const char*, std::uint32_t)
{
    errno = ENOSPC;
    return -1;
}

void BM_RetryWhileTheWatchLimitHolds(benchmark::State& state)
{
    const fs::path root = benchRoot() / "Documents";
    for (int top = 0; top < topFolders; ++top)
        for (int below = 0; below < foldersPerTop; ++below)
            fs::create_directories(root / ("t" + std::to_string(top)) / ("b" + std::to_string(below)));
    const int fd = inotify_init1(IN_CLOEXEC);
    platform::fsevents::setAddWatch(fullWatchTable);
    platform::fsevents::WatchTree tree(fd);
    tree.addRoots({root.string()});
    for (auto _ : state)
        benchmark::DoNotOptimize(tree.retryUnwatched());
    state.counters["folders"] = 1 + topFolders + topFolders * foldersPerTop;
    platform::fsevents::setAddWatch(nullptr);
    close(fd);
}
BENCHMARK(BM_RetryWhileTheWatchLimitHolds)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarksInBenchRoot(argc, argv);
}
