// The results table's three user steps over 200 and over 2,000 records of 5 paths
// each: the screen's first appearance, one Show details and Select all off, each
// measured until the window has painted. The goal: each step at 2,000 records within
// twice its time at 200.
#include "Detection/SharedLists.h"
#include "Screens/Scan/ScanResultViewController.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace {

constexpr int pathsPerRecord = 5;

std::vector<ScanResult> records(int count)
{
    std::vector<ScanResult> results;
    for (int id = 0; id < count; ++id) {
        ScanResult result;
        result.id = id;
        result.isParent = true;
        result.isSelected = true;
        result.title = "Helper Suite " + std::to_string(id);
        result.subTitleLeft = "Threat:";
        result.subTitleRight = "Adware";
        result.company = "Qlorvex Labs";
        result.version = "2.1";
        result.items.emplace();
        for (int path = 0; path < pathsPerRecord; ++path)
            result.items->push_back({"/Applications/Helper " + std::to_string(id) + "/" + std::to_string(path)});
        results.push_back(std::move(result));
    }
    return results;
}

// Seconds from `step` to the window painted after it.
template <class Step>
double paintedAfter(QWidget& window, Step step)
{
    const auto start = std::chrono::steady_clock::now();
    step();
    window.repaint();
    QApplication::processEvents();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Range 0: the number of records; range 1: the step (0 first appearance, 1 Show
// details, 2 Select all off).
void BM_ResultsTableStep(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const auto step = state.range(1);
    std::vector<double> runs;
    for (auto _ : state) {
        scanResults().replace(records(count));
        QWidget window;
        window.resize(808, 652);
        ScanResultViewController screen(&window);
        screen.setGeometry(window.rect());
        window.show();
        QApplication::processEvents();
        double seconds = 0;
        if (step == 0)
            seconds = paintedAfter(window, [&] { screen.viewWillAppear(); });
        screen.viewWillAppear();
        if (step == 1)
            seconds = paintedAfter(window, [&] { screen.clickedShowDetailsResultItem(0); });
        if (step == 2)
            seconds = paintedAfter(window, [&] { screen.clickedSelectUnselectAll(false); });
        runs.push_back(seconds);
        state.SetIterationTime(seconds);
    }
    state.counters["median_ms"] = median(runs) * 1000;
    state.counters["worst_ms"] = *std::max_element(runs.begin(), runs.end()) * 1000;
}
BENCHMARK(BM_ResultsTableStep)
    ->ArgNames({"records", "step"})
    ->ArgsProduct({{200, 2000}, {0, 1, 2}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace
