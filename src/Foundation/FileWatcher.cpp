#include "Foundation/FileWatcher.h"

#include "Foundation/ProtectedPaths.h"

#include <array>
#include <cstring>
#include <iostream>
#include <utility>

namespace fsevents = platform::fsevents;
using fsevents::retryInterval;

std::string FileWatcherEvent::description() const
{
    static constexpr std::array<std::pair<std::uint32_t, const char*>, 4> outcomes{{
        {fsevents::kItemRemoved, " removed"},
        {fsevents::kItemCreated, " created"},
        {fsevents::kItemRenamed, " renamed"},
        {fsevents::kItemModified, " modified"},
    }};
    std::string text = std::string("The ") + ((flags & fsevents::kItemIsFile) ? "file" : "directory") + " " +
                       path + " was";
    for (const auto& [bit, words] : outcomes)
        if (flags & bit)
            return text + words;
    return text;
}

FileWatcher::FileWatcher(std::vector<std::string> paths) : filePaths_(std::move(paths)) {}

FileWatcher::~FileWatcher()
{
    stop();
}

void FileWatcher::start()
{
    if (streamRef_ || retry_ || startStream())
        return;
    std::string folders;
    for (const auto& path : filePaths_)
        folders += (folders.empty() ? "\"" : ", \"") + path + "\"";
    std::cerr << "File watcher: cannot watch " << folders << ": " << std::strerror(errno) << "; trying again every "
              << retryInterval.count() << " seconds" << std::endl;
    retry_ = std::make_unique<platform::dispatch::RepeatingTimer>(retryInterval, [this] {
        if (startStream())
            retry_.reset();
    });
}

bool FileWatcher::startStream()
{
    streamRef_ = fsevents::EventStream::create(
        filePaths_, [this](const fsevents::Event& event) { deliver(event); }, queue.value_or(nullptr),
        [](const std::string& root) { return leadsToAFolderOfTheUser(root); });
    if (!streamRef_)
        return false;
    streamRef_->start();
    return true;
}

void FileWatcher::stop()
{
    retry_.reset();
    if (streamRef_) {
        streamRef_->stop();
        streamRef_.reset();
    }
}

void FileWatcher::deliver(const fsevents::Event& event)
{
    if (!callback)
        return;
    FileWatcherEvent watcherEvent;
    watcherEvent.id = event.id;
    watcherEvent.path = event.path;
    watcherEvent.flags = event.flags;
    callback(watcherEvent);
}
