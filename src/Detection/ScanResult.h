#pragma once

#include "Detection/Records.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One found file under a results row.
struct ScanResultItem {
    std::optional<std::string> path; // the file's full path
};

// One row of the scan results: a parent row per record, child rows under it.
struct ScanResult {
    std::int64_t id = 0;
    bool isParent = false;
    bool isShowDetails = false;
    bool isSelected = false;
    std::optional<platform::Image> icon;
    std::string title;
    std::string subTitleLeft;
    std::string subTitleRight;
    std::string company;
    std::string version;
    std::optional<std::vector<ScanResultItem>> items;
    std::optional<MalwareList> malwareList; // the record the row came from
};
