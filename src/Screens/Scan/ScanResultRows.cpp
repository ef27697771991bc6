#include "Screens/Scan/ScanResultRows.h"

#include <algorithm>

std::vector<ScanResultRow> makeResultRows(const std::vector<ScanResult>& results)
{
    std::vector<ScanResultRow> rows;
    rows.reserve(results.size());
    for (std::size_t record = 0; record < results.size(); ++record) {
        rows.push_back({record, std::nullopt});
        if (results[record].isShowDetails)
            for (std::size_t item = 0; item < static_cast<std::size_t>(itemCount(results[record])); ++item)
                rows.push_back({record, item});
    }
    return rows;
}

const ScanResult* recordOf(const std::vector<ScanResult>& results, const ScanResultRow& row)
{
    return row.record < results.size() ? &results[row.record] : nullptr;
}

const ScanResultItem* itemOf(const std::vector<ScanResult>& results, const ScanResultRow& row)
{
    const ScanResult* record = recordOf(results, row);
    if (!record || !row.item || *row.item >= static_cast<std::size_t>(itemCount(*record)))
        return nullptr;
    return &(*record->items)[*row.item];
}

ScanResult* resultWithId(std::vector<ScanResult>& results, std::int64_t id)
{
    const auto found = std::ranges::find(results, id, &ScanResult::id);
    return found == results.end() ? nullptr : &*found;
}

std::int64_t itemCount(const ScanResult& result)
{
    return result.items ? static_cast<std::int64_t>(result.items->size()) : 0;
}

std::int64_t totalItemCount(const std::vector<ScanResult>& results)
{
    std::int64_t total = 0;
    for (const ScanResult& result : results)
        total += itemCount(result);
    return total;
}

bool anySelected(const std::vector<ScanResult>& results)
{
    return std::ranges::any_of(results, &ScanResult::isSelected);
}

bool allSelected(const std::vector<ScanResult>& results)
{
    return std::ranges::all_of(results, &ScanResult::isSelected);
}
