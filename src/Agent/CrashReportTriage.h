#pragma once

#include "Agent/AlertWindows.h"
#include "Foundation/FileWatcher.h"

#include <memory>

// Judges the events of the crash-report watcher: every event for a report that
// exists raises the crash alert, unless alerts are snoozed, crash protection is
// off or the report is on the ignore list.
class CrashReportTriage {
public:
    explicit CrashReportTriage(std::weak_ptr<AlertWindows> alerts) : alerts_(std::move(alerts)) {}

    // Main thread: the gate, then the existence test in the background.
    void crashReportEvent(const FileWatcherEvent& event) const;

private:
    std::weak_ptr<AlertWindows> alerts_;
};
