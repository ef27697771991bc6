// The supervisor of an idle job in the stand-in launchd: how often its process
// is woken, and the share of a core it takes, while its job runs and nothing in
// the registry changes, and again beside a kept-alive job with ThrottleInterval 0
// whose program is missing (with that job's supervisor's own share). It sleeps on
// the job's process and on its own record, so all should be nil.
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

constexpr const char* failingLabel = "com.example.failing";

// The supervisor of the submitted job once it has taken the job on (and started
// it, when `started`).
long long supervisorOf(const char* name, bool started)
{
    const auto registry = platform::launchd::JobRegistry::forDomain(LaunchdDomain::User);
    for (auto waited = 0ms; waited < 5s; waited += 10ms) {
        const auto record = registry.read(name);
        if (record && (record->pid || !started) && record->supervisorPid)
            return *record->supervisorPid;
        std::this_thread::sleep_for(10ms);
    }
    std::abort();
}

void submit(const platform::Dictionary& job)
{
    if (!platform::SMJobSubmit(LaunchdDomain::User, job, nullptr, nullptr))
        std::abort();
}

void measureIdleSupervisor(benchmark::State& state, bool besideAFailingJob)
{
    ::setenv("BG_TOOLS_DIR", BG_BENCH_TOOLS_DIR, 1);
    submit({{"Label", label}, {"ProgramArguments", platform::Array{"/bin/sleep", "600"}}, {"RunAtLoad", true}});
    const long long supervisor = supervisorOf(label, true);
    long long failing = 0;
    if (besideAFailingJob) {
        submit({{"Label", failingLabel},
                {"ProgramArguments", platform::Array{"/nonexistent/program"}},
                {"KeepAlive", true},
                {"ThrottleInterval", 0}});
        failing = supervisorOf(failingLabel, false);
    }
    std::this_thread::sleep_for(500ms); // settled after starting the job
    long long wakeups = 0;
    double processor = 0, failingProcessor = 0, seconds = 0;
    for (auto _ : state) {
        const long long switchesBefore = testsupport::contextSwitches(supervisor);
        const double processorBefore = cpuSecondsOf(static_cast<pid_t>(supervisor));
        const double failingBefore = failing ? cpuSecondsOf(static_cast<pid_t>(failing)) : 0;
        std::this_thread::sleep_for(idleSpan);
        wakeups += testsupport::contextSwitches(supervisor) - switchesBefore;
        processor += cpuSecondsOf(static_cast<pid_t>(supervisor)) - processorBefore;
        failingProcessor += failing ? cpuSecondsOf(static_cast<pid_t>(failing)) - failingBefore : 0;
        seconds += std::chrono::duration<double>(idleSpan).count();
    }
    for (const char* name : {label, failingLabel})
        (void)platform::SMJobRemove(LaunchdDomain::User, name, nullptr, true, nullptr);
    state.counters["wakeups_per_s"] = static_cast<double>(wakeups) / seconds;
    state.counters["core_percent"] = processor / seconds * 100;
    if (besideAFailingJob)
        state.counters["failing_core_percent"] = failingProcessor / seconds * 100;
}

void BM_IdleSupervisor(benchmark::State& state)
{
    measureIdleSupervisor(state, false);
}
BENCHMARK(BM_IdleSupervisor)->Iterations(1)->Unit(benchmark::kSecond);

void BM_IdleSupervisorBesideAFailingJob(benchmark::State& state)
{
    measureIdleSupervisor(state, true);
}
BENCHMARK(BM_IdleSupervisorBesideAFailingJob)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarksInBenchRoot(argc, argv);
}
