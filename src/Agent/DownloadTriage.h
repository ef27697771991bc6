#pragma once

#include "Agent/AlertWindows.h"
#include "Detection/Records.h"
#include "Foundation/FileWatcher.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// Judges the events of the downloads watcher: cheap tests on the main thread,
// then a match of the item's name against the known paths of the records in the
// background; a hit on an item that is still there is listed as alerted and
// raises the download alert.
class DownloadTriage {
public:
    explicit DownloadTriage(std::weak_ptr<AlertWindows> alerts) : alerts_(std::move(alerts)) {}

    // Main thread: drops the event when active protection is off, the path is
    // ignored, inside an unfinished download (".download/"), a file event without a
    // rename, or already alerted; else queues the match.
    void downloadEvent(const FileWatcherEvent& event) const;
    // Main thread, once the records are loaded at the start: the downloads a
    // previous agent left listed as alerted (it ended with their alerts open or
    // waiting), taken off the list before the watchers began, are judged again as
    // new arrivals would be; those gone or no longer matching stay off it.
    void offerAgain(const std::vector<std::string>& waitingPaths) const;

private:
    static bool passesGate(const FileWatcherEvent& event);

    std::weak_ptr<AlertWindows> alerts_;
};

// The first record with a known path whose stored text (shortPath) contains
// `name`, case-sensitively; none for a name of fewer than five characters.
std::optional<MalwareList> recordMatchingDownloadName(const std::string& name, const std::vector<MalwareList>& records);
