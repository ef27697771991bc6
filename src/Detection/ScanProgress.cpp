#include "Detection/ScanProgress.h"

#include "Platform/Notifications/NotificationCenter.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

constexpr auto pauseTestInterval = std::chrono::milliseconds(20);

} // namespace

double progressShare(std::int64_t done, std::int64_t total)
{
    if (total <= 0)
        return 100.0;
    return std::clamp(static_cast<double>(done) / static_cast<double>(total) * 100.0, 0.0, 100.0);
}

void waitWhilePaused(const std::atomic<bool>& isPaused)
{
    while (isPaused.load())
        std::this_thread::sleep_for(pauseTestInterval);
}

void postScanProgress(std::int64_t totalFound, const std::string& path, std::int64_t objectsScanned,
                      double percentage)
{
    platform::NotificationCenter::defaultCenter().post("NotifyScanProcessBGX",
                                                        {{"totalFound", totalFound},
                                                         {"path", path},
                                                         {"objectsScanned", objectsScanned},
                                                         {"percentage", percentage}});
}
