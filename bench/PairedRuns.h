#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <vector>

// Seconds taken by `work`.
inline double secondsOf(const auto& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Forgets the process's peak resident size so far (Linux), so the next reading
// is the peak of what runs in between.
inline void resetPeakResident()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// The process's peak resident size (VmHWM) in megabytes.
inline double peakResidentMegabytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmHWM:"))
            return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

// A measured run beside its floor, run by run in the same process; reports the
// ratios' min and median, both medians in milliseconds and the peak resident
// size of the measured runs.
class PairedRuns {
public:
    // Times `floor`, then `measured` (with the peak resident size reset before it).
    void run(const auto& floor, const auto& measured)
    {
        run([] {}, floor, measured);
    }

    // The same, with `setUp` run untimed before each of the two.
    void run(const auto& setUp, const auto& floor, const auto& measured)
    {
        setUp();
        const double floorSeconds = secondsOf(floor);
        setUp();
        resetPeakResident();
        const double measuredSeconds = secondsOf(measured);
        peakMegabytes_ = std::max(peakMegabytes_, peakResidentMegabytes());
        floors_.push_back(floorSeconds);
        measured_.push_back(measuredSeconds);
        ratios_.push_back(measuredSeconds / floorSeconds);
    }

    double lastSeconds() const { return measured_.back(); }

    void report(benchmark::State& state) const
    {
        auto ratios = ratios_;
        std::ranges::sort(ratios);
        state.counters["ratio_min"] = ratios.front();
        state.counters["ratio_median"] = median(ratios_);
        state.counters["floor_ms"] = median(floors_) * 1000;
        state.counters["measured_ms"] = median(measured_) * 1000;
        state.counters["peak_MB"] = peakMegabytes_;
    }

private:
    static double median(std::vector<double> values)
    {
        std::ranges::sort(values);
        const std::size_t middle = values.size() / 2;
        return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
    }

    std::vector<double> floors_, measured_, ratios_;
    double peakMegabytes_ = 0;
};
