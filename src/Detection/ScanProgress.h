#pragma once

#include <atomic>
#include <cstdint>
#include <string>

// Helpers that the scan's and the clean's workers share.

// `done` of `total` as a percentage: always finite and within 0...100 (100 when
// there is nothing to do, or when more was done than counted).
double progressShare(std::int64_t done, std::int64_t total);

// Returns once `isPaused` is clear; tests the flag every few milliseconds.
void waitWhilePaused(const std::atomic<bool>& isPaused);

// Posts "NotifyScanProcessBGX" with its four values (call on the main thread).
void postScanProgress(std::int64_t totalFound, const std::string& path, std::int64_t objectsScanned,
                      double percentage);
