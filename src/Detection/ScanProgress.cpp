#include "Detection/ScanProgress.h"

#include "Platform/Notifications/NotificationCenter.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

constexpr auto pauseTestInterval = std::chrono::milliseconds(20);

// "NotifyScanProcessBGX" with its four values, refilled for each post.
class ProgressPost {
public:
    ProgressPost()
        : note_{"NotifyScanProcessBGX",
                {},
                {{"totalFound", std::int64_t{0}},
                 {"path", std::string()},
                 {"objectsScanned", std::int64_t{0}},
                 {"percentage", 0.0}}},
          totalFound_(note_.userInfo.at("totalFound")), path_(*std::any_cast<std::string>(&note_.userInfo.at("path"))),
          objectsScanned_(note_.userInfo.at("objectsScanned")), percentage_(note_.userInfo.at("percentage"))
    {
    }
    ProgressPost(const ProgressPost&) = delete;
    ProgressPost& operator=(const ProgressPost&) = delete;

    bool isDelivering() const { return delivering_; }

    void post(std::int64_t totalFound, const std::string& path, std::int64_t objectsScanned, double percentage)
    {
        totalFound_ = totalFound;
        path_ = path;
        objectsScanned_ = objectsScanned;
        percentage_ = percentage;
        delivering_ = true;
        platform::NotificationCenter::defaultCenter().post(note_);
        delivering_ = false;
    }

private:
    platform::Notification note_;
    std::any& totalFound_;
    std::string& path_;
    std::any& objectsScanned_;
    std::any& percentage_;
    bool delivering_ = false;
};

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
    // The walk posts once per file: each thread keeps one notification and fills
    // it again, so a post builds no map. A post made while that one is being
    // delivered (by one of its receivers) gets a notification of its own.
    thread_local ProgressPost kept;
    if (kept.isDelivering()) {
        ProgressPost nested;
        nested.post(totalFound, path, objectsScanned, percentage);
        return;
    }
    kept.post(totalFound, path, objectsScanned, percentage);
}
