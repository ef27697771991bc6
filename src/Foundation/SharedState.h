#pragma once

#include <atomic>

// Process-wide flags through which the engines, the main window and the screens
// hand state to each other. All false at start; written on the main thread and
// read by background workers, hence atomic.
extern std::atomic<bool> isCleanInProgress;
extern std::atomic<bool> isStartupItemsCleanPaused;
extern std::atomic<bool> isStartupItemsCleanAborted;
extern std::atomic<bool> isScanResultsShown;
extern std::atomic<bool> isStartupItemsCleanStarted;
extern std::atomic<bool> isLaunchedAsLoginItem;
