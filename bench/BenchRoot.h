#pragma once

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// A platform root of the bench's own in a temporary folder, made (and PLATFORM_ROOT
// pointed at it) at the first call, so nothing outside it is touched. Call it before
// anything builds a platform path.
inline const std::filesystem::path& benchRoot()
{
    static const std::filesystem::path root = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "bg-bench-root-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        setenv("PLATFORM_ROOT", pattern.c_str(), 1);
        return std::filesystem::path(pattern);
    }();
    return root;
}

// The main of a benchmark program: the root first (the scan roots are fixed when
// the scan object is made), the benchmarks, then the root removed.
inline int runBenchmarksInBenchRoot(int argc, char** argv)
{
    benchRoot();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(benchRoot(), ignored);
    return 0;
}
