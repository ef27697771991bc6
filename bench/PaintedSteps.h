#pragma once

#include <QApplication>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <string>
#include <vector>

// Milliseconds from `step` to the window painted after it.
template <class Step>
double paintedAfter(QWidget& window, Step step)
{
    const auto start = std::chrono::steady_clock::now();
    step();
    QApplication::processEvents();
    window.repaint();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The figures of each run by name, reported as their median and worst.
struct Figures {
    std::map<std::string, std::vector<double>> values;
    void add(const std::string& name, double value) { values[name].push_back(value); }

    void report(benchmark::State& state) const
    {
        for (auto [name, runs] : values) {
            std::ranges::sort(runs);
            state.counters[name + "_median"] = runs[runs.size() / 2];
            state.counters[name + "_worst"] = runs.back();
        }
    }
};
