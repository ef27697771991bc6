#include "Detection/Scan.h"

#include "Detection/DatabaseManagerReader.h"
#include "Detection/ScanProgress.h"
#include "Detection/SharedLists.h"
#include "Foundation/FileUtilities.h"
#include "Foundation/IgnoreList.h"
#include "Foundation/ProtectedPaths.h"
#include "Platform/Authorization/ProcessUser.h"
#include "Platform/FileManager/FileManager.h"

namespace {

constexpr double iconPixelSize = 150.0;

// A found item counts when it is an application bundle or the user may write it.
bool counts(const std::string& path)
{
    return isApplicationBundlePath(path) || platform::FileManager::defaultManager().isWritableFile(path);
}

// The icon that a found bundle gives its record, drawn when the record is shown:
// its thumbnail when the item is an image, else the workspace's icon of `iconItem`.
platform::Image bundleIcon(const std::string& bundlePath, const std::string& iconItem)
{
    return platform::Image::deferred([bundlePath, iconItem]() -> std::optional<platform::Image> {
        if (auto thumbnail = thumbnailImage(bundlePath, iconPixelSize); thumbnail && !thumbnail->isEmpty())
            return thumbnail;
        return platform::Image::iconForFile(iconItem);
    });
}

// One record's matching, shared by its rows.
struct RecordMatch {
    Scan& scan;
    const IgnoredPaths& ignored;
    const ProtectedFolders& protectedFolders;
    bool found = false;
    std::optional<platform::Image> icon;

    // The row with its path kept only when it exists and is neither ignored nor
    // protected, and its sub-paths cut down to the ones that count.
    Paths rebuild(const Paths& row)
    {
        Paths rebuilt{row.id, row.appId, row.commonFolderId, {row.path.path, std::vector<std::string>{}}, row.shortPath};
        if (!row.path.path)
            return rebuilt;
        const std::string& path = *row.path.path;
        if (ignored.covers(path))
            return rebuilt;
        const auto counted = countsIfUnprotected(row.path);
        if (!counted)
            return rebuilt;
        found = true;
        if (*counted)
            ++scan.pIndex;
        if (isApplicationBundlePath(path))
            icon = bundleIcon(path, path);
        rebuilt.path.subPaths = keptSubPaths(row.path, path);
        return rebuilt;
    }

    // Whether the row's path counts, where it exists unprotected. A folder the read
    // listed was found by it, in this same scan, to exist and to be unprotected, and
    // its files to exist: nothing of the scan acts on them between the read and this
    // match, and the clean judges each path afresh. Any other path is judged now,
    // and its writability asked of the handle that judged it.
    std::optional<bool> countsIfUnprotected(const Path& known) const
    {
        const std::string& path = *known.path;
        if (known.subPaths)
            return counts(path);
        const platform::Descriptor item = protectedFolders.openUnprotected(path);
        if (!item)
            return std::nullopt;
        return isApplicationBundlePath(path) || platform::userMayWriteOpened(item.get());
    }

    // The files the read listed under the row's folder that count.
    std::vector<std::string> keptSubPaths(const Path& known, const std::string& rowPath)
    {
        std::vector<std::string> kept;
        for (const auto& subPath : known.subPaths.value_or(std::vector<std::string>{})) {
            waitWhilePaused(scan.isPaused);
            if (scan.isAborted)
                break;
            if (!ignored.covers(subPath) && counts(subPath)) {
                kept.push_back(subPath);
                ++scan.pIndex;
            }
            if (isApplicationBundlePath(subPath))
                icon = bundleIcon(subPath, rowPath);
        }
        return kept;
    }
};

} // namespace

void Scan::matchMalware()
{
    scanList.clear();
    auto loaded = DatabaseManagerReader::shared().loadInstalledMalwareList();
    recordsRead_ = loaded.has_value();
    const auto records = malwareRecords().replace(std::move(loaded).value_or(std::vector<MalwareList>{}));
    const IgnoredPaths ignored = IgnoredPaths::stored();
    const ProtectedFolders protectedFolders;
    for (const auto& record : *records) {
        waitWhilePaused(isPaused);
        if (isAborted)
            break;
        if (!record.paths || record.paths->empty())
            continue;
        RecordMatch match{*this, ignored, protectedFolders, false, std::nullopt};
        std::vector<Paths> rows;
        for (const auto& row : *record.paths)
            rows.push_back(match.rebuild(row));
        if (!match.found)
            continue;
        // The record as loaded, but for its rebuilt rows and its icon (its loaded rows
        // are not copied).
        scanList.push_back({record.id, record.appName, record.sigInfo, record.status, record.hash, std::move(rows),
                            record.publisher, std::move(match.icon)});
    }
}
