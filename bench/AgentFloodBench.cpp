// The agent under floods. A burst of launch-agent plists moved into
// ~/Library/LaunchAgents at once, then one more 1 s later: against the agent
// program (started as launchd starts it), its CPU seconds until it is idle again
// and its peak memory growth; in this process, the time from the last plist's
// move to its alert. And 20,000 files moved into ~/Downloads, then one matching
// rename: the rename's alert latency. The burst size is the argument.
#include "AgentBenchWorld.h"
#include "ProcessTime.h"

#include "Agent/AlertNotifications.h"
#include "Agent/AppDelegate.h"
#include "Detection/SharedLists.h"
#include "Foundation/Settings.h"
#include "Foundation/UserPaths.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Reachability/NetworkReachability.h"
#include "Platform/Root/PlatformRoot.h"
#include "Platform/Tools/ToolProcess.h"

#include <QApplication>

#include <benchmark/benchmark.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int runs = 5;
constexpr int downloadFloodSize = 20'000;

fs::path home()
{
    return platform::homeDirectory();
}

fs::path userLaunchAgents()
{
    return home() / "Library/LaunchAgents";
}

fs::path staging()
{
    return home() / "Partial";
}

// The root with both protections on.
void prepareRoot()
{
    prepareAgentRoot();
    appGroupDefaults()->setBool(SettingsKey::isStartupProtectionEnabled, true);
    appGroupDefaults()->setBool(SettingsKey::isActiveProtectionEnabled, true);
}

// The same, for an agent run in this process.
void prepareRootForAgentHere()
{
    prepareRoot();
    platform::Bundle::setMainBundlePath(BG_AGENT_BUNDLE);
    platform::forceReachabilityFlags(platform::ReachabilityFlags{});
}

std::string toolPath(const std::string& name)
{
    return platform::hostPath("/Applications") + "/" + name + ".app/Contents/MacOS/" + name;
}

// A small valid launch-agent plist in the staging folder; its path.
fs::path stageLaunchAgent(const std::string& name)
{
    const auto path = staging() / ("com.example." + name + ".plist");
    std::ofstream(path) << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                        << "<key>Label</key><string>com.example." << name << "</string>"
                        << "<key>Program</key><string>" << toolPath(name) << "</string>"
                        << "<key>RunAtLoad</key><true/></dict></plist>\n";
    return path;
}

std::vector<fs::path> stageBurst(std::int64_t size)
{
    std::vector<fs::path> staged;
    for (std::int64_t i = 0; i < size; ++i)
        staged.push_back(stageLaunchAgent("Burst" + std::to_string(i)));
    return staged;
}

void moveInto(const std::vector<fs::path>& staged, const fs::path& folder)
{
    for (const auto& path : staged)
        fs::rename(path, folder / path.filename());
}

void emptyFolder(const fs::path& folder)
{
    for (const auto& entry : fs::directory_iterator(folder))
        fs::remove_all(entry.path());
}

double median(std::vector<double> values)
{
    std::ranges::sort(values);
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double worst(const std::vector<double>& values)
{
    return *std::ranges::max_element(values);
}

void reportMedianAndWorst(benchmark::State& state, const std::string& name, const std::vector<double>& values)
{
    state.counters[name + "_median"] = median(values);
    state.counters[name + "_worst"] = worst(values);
}

// The resident size of another process, in megabytes.
double residentMegabytesOf(pid_t pid)
{
    const auto fields = platform::processStatFields(pid); // field 24 of stat, the resident pages
    if (fields.size() < 22)
        return 0;
    return std::stod(fields[21]) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Samples the process until a whole second passes with less than 20 ms of CPU.
struct IdleWatch {
    pid_t pid;
    double startCpu = cpuSecondsOf(pid);
    double baselineMegabytes = residentMegabytesOf(pid);
    double peakMegabytes = baselineMegabytes;

    // Seconds from `start` until idle (gives up after `limit`).
    double waitUntilIdle(Clock::time_point start, std::chrono::seconds limit)
    {
        double windowCpu = cpuSecondsOf(pid);
        auto windowStart = Clock::now();
        while (Clock::now() - start < limit) {
            std::this_thread::sleep_for(50ms);
            peakMegabytes = std::max(peakMegabytes, residentMegabytesOf(pid));
            if (Clock::now() - windowStart < 1s)
                continue;
            const double cpu = cpuSecondsOf(pid);
            if (cpu - windowCpu < 0.02)
                return std::chrono::duration<double>(windowStart - start).count();
            windowCpu = cpu;
            windowStart = Clock::now();
        }
        return std::chrono::duration<double>(limit).count();
    }
};

std::optional<platform::ToolProcess> launchAgentProgram()
{
    return platform::ToolProcess::launch(std::string(BG_AGENT_BUNDLE) + "/Contents/MacOS/ActiveGuardSentinelWarden", {},
                                         platform::ToolProcess::Capture::Nothing);
}

void BM_LaunchAgentBurstAgentProcess(benchmark::State& state)
{
    prepareRoot();
    ::setenv("BG_NETWORK_REACHABLE", "0", 1);
    std::vector<double> cpu, idle, growth;
    for (auto _ : state) {
        emptyFolder(userLaunchAgents());
        const auto burst = stageBurst(state.range(0));
        const auto last = stageLaunchAgent("Last");
        auto agent = launchAgentProgram();
        if (!agent)
            std::abort();
        IdleWatch(agent->pid()).waitUntilIdle(Clock::now(), 30s); // start-up and the records load
        IdleWatch watch{agent->pid()};
        const auto start = Clock::now();
        moveInto(burst, userLaunchAgents());
        std::this_thread::sleep_for(1s);
        moveInto({last}, userLaunchAgents());
        idle.push_back(watch.waitUntilIdle(start, 1200s));
        cpu.push_back(cpuSecondsOf(agent->pid()) - watch.startCpu);
        growth.push_back(watch.peakMegabytes - watch.baselineMegabytes);
        ::kill(agent->pid(), SIGTERM);
        agent->waitForExit();
        state.SetIterationTime(idle.back());
    }
    reportMedianAndWorst(state, "agent_cpu_s", cpu);
    reportMedianAndWorst(state, "idle_after_s", idle);
    reportMedianAndWorst(state, "memory_growth_MB", growth);
}
BENCHMARK(BM_LaunchAgentBurstAgentProcess)->Arg(100)->Arg(2000)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(runs);

// Pumps the main queue until a "NewStartupItem" names `item`; seconds from `start`.
double secondsUntilAlertNaming(const std::string& item, Clock::time_point start, std::chrono::seconds limit)
{
    std::optional<Clock::time_point> alerted;
    auto token = platform::NotificationCenter::defaultCenter().addObserver(
        AlertNotification::newStartupItem, [&](const platform::Notification& post) {
            if (const auto* named = post.value<std::string>(AlertKey::newStartupItem); named && *named == item)
                alerted = Clock::now();
        });
    platform::dispatch::runMainLoopUntil([&] { return alerted.has_value(); }, limit);
    return std::chrono::duration<double>(alerted.value_or(Clock::now()) - start).count();
}

void BM_LaunchAgentBurstLastAlert(benchmark::State& state)
{
    prepareRootForAgentHere();
    std::vector<double> latency;
    for (auto _ : state) {
        emptyFolder(userLaunchAgents());
        const auto burst = stageBurst(state.range(0));
        const auto last = stageLaunchAgent("Last");
        auto delegate = std::make_unique<AppDelegate>();
        delegate->startAgent();
        platform::dispatch::runMainLoopFor(500ms);
        moveInto(burst, userLaunchAgents());
        platform::dispatch::runMainLoopFor(1s);
        const auto moved = Clock::now();
        moveInto({last}, userLaunchAgents());
        latency.push_back(secondsUntilAlertNaming(fs::path(toolPath("Last")).parent_path().parent_path().parent_path(),
                                                  moved, 1200s));
        delegate.reset();
        state.SetIterationTime(latency.back());
    }
    reportMedianAndWorst(state, "last_alert_s", latency);
}
BENCHMARK(BM_LaunchAgentBurstLastAlert)->Arg(100)->Arg(2000)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(runs);

void BM_DownloadFloodRenameAlert(benchmark::State& state)
{
    prepareRootForAgentHere();
    std::vector<double> latency;
    for (auto _ : state) {
        emptyFolder(home() / "Downloads");
        standardDefaults().removeObject(SettingsKey::newDownloadPathsWithNags);
        std::vector<fs::path> flood;
        for (int i = 0; i < downloadFloodSize; ++i) {
            flood.push_back(staging() / ("file" + std::to_string(i) + ".txt"));
            std::ofstream(flood.back()) << "x";
        }
        const auto partial = staging() / "SnapfyreInstaller.dmg.part";
        std::ofstream(partial) << "installer";
        const auto download = home() / "Downloads/SnapfyreInstaller.dmg";
        std::optional<Clock::time_point> alerted;
        auto token = platform::NotificationCenter::defaultCenter().addObserver(
            AlertNotification::newDownloadedItem, [&](const platform::Notification& post) {
                if (const auto* named = post.value<std::string>(AlertKey::newDownloadedItem); named && *named == download)
                    alerted = Clock::now();
            });
        auto delegate = std::make_unique<AppDelegate>();
        delegate->startAgent();
        platform::dispatch::runMainLoopUntil([] { return !malwareRecords().empty(); }, 10s);
        moveInto(flood, home() / "Downloads");
        const auto renamed = Clock::now();
        fs::rename(partial, download);
        platform::dispatch::runMainLoopUntil([&] { return alerted.has_value(); }, 60s);
        latency.push_back(std::chrono::duration<double>(alerted.value_or(Clock::now()) - renamed).count());
        platform::dispatch::runMainLoopFor(2s); // the flood's matches end before the next run
        delegate.reset();
        state.SetIterationTime(latency.back());
    }
    reportMedianAndWorst(state, "rename_alert_s", latency);
}
BENCHMARK(BM_DownloadFloodRenameAlert)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(runs);

} // namespace

int main(int argc, char** argv)
{
    return runQtBenchmarksInBenchRoot(argc, argv);
}
