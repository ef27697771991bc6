#pragma once

#include "Detection/ScanResult.h"

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

// One row of the results table: a record (parent row) or one of its paths (child row).
// Rows are copies; changes go to the result list and the rows are made again.
using ScanResultRow = std::variant<ScanResult, ScanResultItem>;

// The flat rows of a result list: each record, followed by its items while it shows
// its details.
std::vector<ScanResultRow> makeResultRows(const std::vector<ScanResult>& results);

// The row at `index`; null outside the list.
const ScanResultRow* rowAt(const std::vector<ScanResultRow>& rows, int index);
// The record of a parent row at `index`; null for a path row or outside the list.
const ScanResult* parentRowAt(const std::vector<ScanResultRow>& rows, int index);
// The item of a path row at `index`; null for a parent row or outside the list.
const ScanResultItem* childRowAt(const std::vector<ScanResultRow>& rows, int index);

// The first record of the list with that id; null when none has it.
ScanResult* resultWithId(std::vector<ScanResult>& results, std::int64_t id);

// The paths of every record, shown or not, selected or not.
std::int64_t totalItemCount(const std::vector<ScanResult>& results);
std::int64_t itemCount(const ScanResult& result);
bool anySelected(const std::vector<ScanResult>& results);
bool allSelected(const std::vector<ScanResult>& results);
