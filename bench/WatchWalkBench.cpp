// The agent's start-up on a home of 200,000 files spread over the watched download
// folders (~/Downloads, /Applications, ~/Desktop, ~/Documents), 5 runs: how long
// startAgent() holds the main thread, and how long until every folder of the tree
// is watched (the process's inotify watches counted from /proc).
#include "QtBenchMain.h"
#include "ProcessStatus.h"
#include "ScanTree.h"

#include "Agent/AppDelegate.h"
#include "Foundation/UserPaths.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Reachability/NetworkReachability.h"
#include "Platform/Root/PlatformRoot.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int homeFiles = 200000;

std::vector<fs::path> watchedDownloadFolders()
{
    return {userPath("/Downloads"), platform::hostPath("/Applications"), userPath("/Desktop"), userPath("/Documents")};
}

// The agent's folders and database, and the tree of files over the download folders;
// the number of folders the download watcher watches.
long prepareHome()
{
    for (const char* tail : {"/Library/Preferences", "/Library/LaunchAgents", "/Library/Logs/DiagnosticReports"})
        fs::create_directories(userPath(tail));
    for (const char* folder : {"/Library/LaunchAgents", "/Library/LaunchDaemons"})
        fs::create_directories(platform::hostPath(folder));
    fs::create_directories(fs::path(databasePath()).parent_path());
    fs::copy_file(fs::path(BG_APP_BUNDLE) / "Contents/Resources/BGX.db", databasePath(),
                  fs::copy_options::overwrite_existing);
    const auto roots = watchedDownloadFolders();
    for (int top = 0; top < homeFiles / scantree::filesPerTopFolder; ++top)
        scantree::plantTopFolder(roots[top % roots.size()] / ("t" + std::to_string(top)));
    long folders = 0;
    for (const auto& root : roots) {
        ++folders;
        for (const auto& entry : fs::recursive_directory_iterator(root))
            folders += entry.is_directory();
    }
    return folders;
}

double milliseconds(Clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

void BM_AgentStartWatchWalk(benchmark::State& state)
{
    platform::Bundle::setMainBundlePath(BG_AGENT_BUNDLE);
    platform::forceReachabilityFlags(platform::ReachabilityFlags{});
    const long folders = prepareHome();
    std::vector<double> blocked, watched;
    for (auto _ : state) {
        AppDelegate delegate;
        const auto start = Clock::now();
        delegate.startAgent();
        const auto returned = Clock::now();
        platform::dispatch::runMainLoopUntil([&] { return testsupport::inotifyWatchCount() >= folders; }, 60s);
        const auto allWatched = Clock::now();
        blocked.push_back(milliseconds(returned - start));
        watched.push_back(milliseconds(allWatched - start));
        state.SetIterationTime(std::chrono::duration<double>(returned - start).count());
        if (testsupport::inotifyWatchCount() < folders)
            state.SkipWithError("not every folder of the tree was watched");
        delegate.stopAgent();
        platform::dispatch::runMainLoopFor(200ms); // the records load ends before the next run
    }
    std::sort(blocked.begin(), blocked.end());
    std::sort(watched.begin(), watched.end());
    state.counters["folders"] = static_cast<double>(folders);
    state.counters["start_median_ms"] = blocked[blocked.size() / 2];
    state.counters["start_worst_ms"] = blocked.back();
    state.counters["all_watched_median_ms"] = watched[watched.size() / 2];
    state.counters["all_watched_worst_ms"] = watched.back();
}
BENCHMARK(BM_AgentStartWatchWalk)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    return runQtBenchmarksInBenchRoot(argc, argv);
}
