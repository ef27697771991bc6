#include "Foundation/SharedState.h"

std::atomic<bool> isCleanInProgress{false};
std::atomic<bool> isStartupItemsCleanPaused{false};
std::atomic<bool> isStartupItemsCleanAborted{false};
std::atomic<bool> isScanResultsShown{false};
std::atomic<bool> isStartupItemsCleanStarted{false};
std::atomic<bool> isLaunchedAsLoginItem{false};
