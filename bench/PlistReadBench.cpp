// One text value of entity or character references read by the property-list
// reader, at two counts for each kind: the time grows with the count, as for the
// same count of plain characters, and not with its square.
#include "Platform/Values/PropertyList.h"

#include <benchmark/benchmark.h>

#include <array>
#include <string>

namespace {

constexpr std::array<const char*, 4> written{"a", "&amp;", "&#65;", "&#x41;"};

platform::Data listOfReferences(const std::string& reference, std::size_t count)
{
    std::string xml = "<plist><dict><key>Label</key><string>";
    for (std::size_t i = 0; i < count; ++i)
        xml += reference;
    xml += "</string></dict></plist>";
    return platform::Data(xml.begin(), xml.end());
}

void BM_ReadReferences(benchmark::State& state)
{
    const platform::Data list = listOfReferences(written[state.range(0)], state.range(1));
    state.SetLabel(written[state.range(0)]);
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::parsePropertyList(list));
    state.counters["s_per_reference"] =
        benchmark::Counter(static_cast<double>(state.range(1)), benchmark::Counter::kIsIterationInvariantRate |
                                                                    benchmark::Counter::kInvert);
}

BENCHMARK(BM_ReadReferences)
    ->ArgsProduct({{0, 1, 2, 3}, {100000, 700000}})
    ->ArgNames({"kind", "count"})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
