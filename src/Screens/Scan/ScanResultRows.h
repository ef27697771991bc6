#pragma once

#include "Detection/ScanResult.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// One row of the results table: a record (parent row) or one of its paths (child row),
// named by its place in the result list. Rows hold no copies; they are made again
// whenever the list changes.
struct ScanResultRow {
    std::size_t record = 0;
    std::optional<std::size_t> item; // the path's place in the record's items; none on a parent row

    bool isParent() const { return !item; }
};

// The flat rows of a result list: each record, followed by its items while it shows
// its details.
std::vector<ScanResultRow> makeResultRows(const std::vector<ScanResult>& results);

// The record of `row` in `results`; null when the list no longer holds it.
const ScanResult* recordOf(const std::vector<ScanResult>& results, const ScanResultRow& row);
// The item of a path row in `results`; null for a parent row or one the list no longer holds.
const ScanResultItem* itemOf(const std::vector<ScanResult>& results, const ScanResultRow& row);

// The first record of the list with that id; null when none has it.
ScanResult* resultWithId(std::vector<ScanResult>& results, std::int64_t id);

// The paths of every record, shown or not, selected or not.
std::int64_t totalItemCount(const std::vector<ScanResult>& results);
std::int64_t itemCount(const ScanResult& result);
bool anySelected(const std::vector<ScanResult>& results);
bool allSelected(const std::vector<ScanResult>& results);
