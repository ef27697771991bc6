#pragma once

#include "BenchRoot.h"
#include "Platform/Dispatch/Dispatch.h"

#include <QApplication>

#include <cstdlib>

// The main of a benchmark program that runs the agent's code: the bench root, a
// headless QApplication with the main queue on this thread, then the benchmarks.
inline int runQtBenchmarksInBenchRoot(int argc, char** argv)
{
    benchRoot();
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    platform::dispatch::adoptMainThread();
    return runBenchmarksInBenchRoot(argc, argv);
}
