// The supervisor of an idle job in the stand-in launchd: how often its process
// is woken, and the share of a core it takes, while its job runs and nothing in
// the registry changes. It sleeps on the job's process and on the registry
// folder, so both should be nil.
#include "BenchRoot.h"
#include "Platform/Launchd/JobRegistry.h"
#include "Platform/Launchd/ServiceManagement.h"
#include "ProcessStatus.h"
#include "ProcessTime.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;
using platform::LaunchdDomain;

constexpr const char* label = "com.example.idle";
constexpr auto idleSpan = 10s;

// The supervisor of the submitted job once it has started the job.
long long startedSupervisor()
{
    const auto registry = platform::launchd::JobRegistry::forDomain(LaunchdDomain::User);
    for (auto waited = 0ms; waited < 5s; waited += 10ms) {
        const auto record = registry.read(label);
        if (record && record->pid && record->supervisorPid)
            return *record->supervisorPid;
        std::this_thread::sleep_for(10ms);
    }
    std::abort();
}

void BM_IdleSupervisor(benchmark::State& state)
{
    ::setenv("BG_TOOLS_DIR", BG_BENCH_TOOLS_DIR, 1);
    const platform::Dictionary job{
        {"Label", label}, {"ProgramArguments", platform::Array{"/bin/sleep", "600"}}, {"RunAtLoad", true}};
    if (!platform::SMJobSubmit(LaunchdDomain::User, job, nullptr, nullptr))
        std::abort();
    const long long supervisor = startedSupervisor();
    std::this_thread::sleep_for(500ms); // settled after starting the job
    long long wakeups = 0;
    double processor = 0, seconds = 0;
    for (auto _ : state) {
        const long long switchesBefore = testsupport::contextSwitches(supervisor);
        const double processorBefore = cpuSecondsOf(static_cast<pid_t>(supervisor));
        std::this_thread::sleep_for(idleSpan);
        wakeups += testsupport::contextSwitches(supervisor) - switchesBefore;
        processor += cpuSecondsOf(static_cast<pid_t>(supervisor)) - processorBefore;
        seconds += std::chrono::duration<double>(idleSpan).count();
    }
    (void)platform::SMJobRemove(LaunchdDomain::User, label, nullptr, true, nullptr);
    state.counters["wakeups_per_s"] = static_cast<double>(wakeups) / seconds;
    state.counters["core_percent"] = processor / seconds * 100;
}
BENCHMARK(BM_IdleSupervisor)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarksInBenchRoot(argc, argv);
}
