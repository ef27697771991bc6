#include "Screens/Scan/OverviewScanResults.h"

#include "Foundation/FileUtilities.h"
#include "Platform/FileManager/FileManager.h"

#include <optional>

namespace {

// The present values of one publisher field, in row order, joined with ", ".
std::string joinedPublisherField(const MalwareList& record, std::optional<std::string> Publisher::*field)
{
    std::string joined;
    for (const Publisher& row : record.publisher.value_or(std::vector<Publisher>{})) {
        if (!(row.*field))
            continue;
        joined += joined.empty() ? *(row.*field) : ", " + *(row.*field);
    }
    return joined;
}

bool isListedPath(const std::string& path, const IgnoredPaths& ignored)
{
    const auto& files = platform::FileManager::defaultManager();
    return files.fileExists(path) && !ignored.covers(path) && (isApplicationBundlePath(path) || files.isWritableFile(path));
}

std::vector<ScanResultItem> foundItems(const MalwareList& record, const IgnoredPaths& ignored)
{
    std::vector<ScanResultItem> items;
    const auto consider = [&](const std::string& path) {
        if (isListedPath(path, ignored))
            items.push_back({path});
    };
    for (const Paths& row : record.paths.value_or(std::vector<Paths>{})) {
        if (!row.path.path)
            continue;
        consider(*row.path.path);
        for (const std::string& subPath : row.path.subPaths.value_or(std::vector<std::string>{}))
            consider(subPath);
    }
    return items;
}

ScanResult resultRow(const MalwareList& record, std::size_t position, std::vector<ScanResultItem> items)
{
    ScanResult row;
    row.id = static_cast<std::int64_t>(position);
    row.isParent = true;
    row.isShowDetails = false;
    row.isSelected = true;
    row.icon = record.icon;
    row.title = record.appName.value_or("");
    row.subTitleLeft = "Threat:";
    // An empty threat reads as the reader's name for a missing one, never a bare "Threat:".
    row.subTitleRight = record.sigInfo && !record.sigInfo->empty() ? *record.sigInfo : "Deceptive App";
    row.company = joinedPublisherField(record, &Publisher::publisher);
    row.version = joinedPublisherField(record, &Publisher::version);
    row.items = std::move(items);
    row.malwareList = record;
    return row;
}

} // namespace

std::vector<ScanResult> scanResultsFrom(const std::vector<MalwareList>& scanList,
                                        const IgnoredPaths& ignored)
{
    std::vector<ScanResult> rows;
    for (std::size_t position = 0; position < scanList.size(); ++position) {
        std::vector<ScanResultItem> items = foundItems(scanList[position], ignored);
        if (!items.empty())
            rows.push_back(resultRow(scanList[position], position, std::move(items)));
    }
    return rows;
}
