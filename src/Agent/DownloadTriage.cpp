#include "Agent/DownloadTriage.h"

#include "Agent/AlertNotifications.h"
#include "Agent/AlertedDownloads.h"
#include "Agent/ItemPresence.h"
#include "Foundation/IgnoreList.h"
#include "Foundation/ProtectionSwitch.h"
#include "Detection/SharedLists.h"
#include "Foundation/Settings.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/FSEvents/EventStream.h"
#include "Platform/LoginItems/FileURL.h"

#include <QString>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <filesystem>

namespace {

constexpr std::size_t shortestMatchedName = 5;

// Characters as the user sees them (grapheme clusters), not bytes.
std::size_t characterCount(const std::string& text)
{
    const QString string = QString::fromStdString(text);
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, string);
    std::size_t count = 0;
    while (boundaries.toNextBoundary() != -1)
        ++count;
    return count;
}

bool isFileEventWithoutRename(std::uint32_t flags)
{
    using namespace platform::fsevents;
    return (flags & (kItemIsFile | kItemRenamed)) == kItemIsFile;
}

// The background step: match, then the alert step for an item still there.
void matchDownload(const std::string& path, const std::weak_ptr<AlertWindows>& alerts)
{
    if (path.ends_with(".DS_Store"))
        return;
    const auto records = malwareRecords().current(); // shared, not copied
    if (records->empty())
        return;
    auto hit = recordMatchingDownloadName(platform::lastPathComponent(path), *records);
    if (!hit || !isItemAt(path) || !addAlertedDownloadPath(path))
        return;
    raiseAlertOnMainQueue(alerts, AlertKind::download,
                          {{AlertKey::newDownloadedItem, path}, {AlertKey::detectedMalwareList, std::move(*hit)}});
}

} // namespace

void DownloadTriage::downloadEvent(const FileWatcherEvent& event) const
{
    if (!passesGate(event))
        return;
    platform::dispatch::asyncGlobal([path = event.path, alerts = alerts_] { matchDownload(path, alerts); });
}

void DownloadTriage::offerAgain(const std::vector<std::string>& waitingPaths) const
{
    for (const auto& path : waitingPaths) {
        std::error_code error;
        const auto status = std::filesystem::symlink_status(path, error);
        if (error || !std::filesystem::exists(status))
            continue;
        FileWatcherEvent arrival;
        arrival.path = path;
        arrival.flags = platform::fsevents::kItemCreated | platform::fsevents::kItemRenamed |
                        (std::filesystem::is_directory(status) ? platform::fsevents::kItemIsDir
                                                               : platform::fsevents::kItemIsFile);
        downloadEvent(arrival);
    }
}

bool DownloadTriage::passesGate(const FileWatcherEvent& event)
{
    return !isSwitchedOff(SettingsKey::isActiveProtectionEnabled) &&
           !IgnoredPaths::stored().covers(event.path) &&
           event.path.find(".download/") == std::string::npos && !isFileEventWithoutRename(event.flags) &&
           !isAlertedDownloadPath(event.path);
}

std::optional<MalwareList> recordMatchingDownloadName(const std::string& name, const std::vector<MalwareList>& records)
{
    if (characterCount(name) < shortestMatchedName)
        return std::nullopt;
    const auto holdsName = [&](const Paths& row) { return row.shortPath && row.shortPath->find(name) != std::string::npos; };
    const auto hit = std::find_if(records.begin(), records.end(), [&](const MalwareList& record) {
        return record.paths && std::any_of(record.paths->begin(), record.paths->end(), holdsName);
    });
    return hit == records.end() ? std::nullopt : std::optional<MalwareList>(*hit);
}
