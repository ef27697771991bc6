#include "Screens/Scan/ScanResultRows.h"

#include <algorithm>

std::vector<ScanResultRow> makeResultRows(const std::vector<ScanResult>& results)
{
    std::vector<ScanResultRow> rows;
    for (const ScanResult& result : results) {
        rows.emplace_back(result);
        if (result.isShowDetails && result.items)
            rows.insert(rows.end(), result.items->begin(), result.items->end());
    }
    return rows;
}

const ScanResultRow* rowAt(const std::vector<ScanResultRow>& rows, int index)
{
    return index >= 0 && static_cast<std::size_t>(index) < rows.size() ? &rows[static_cast<std::size_t>(index)]
                                                                        : nullptr;
}

const ScanResult* parentRowAt(const std::vector<ScanResultRow>& rows, int index)
{
    const ScanResultRow* row = rowAt(rows, index);
    return row ? std::get_if<ScanResult>(row) : nullptr;
}

const ScanResultItem* childRowAt(const std::vector<ScanResultRow>& rows, int index)
{
    const ScanResultRow* row = rowAt(rows, index);
    return row ? std::get_if<ScanResultItem>(row) : nullptr;
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
