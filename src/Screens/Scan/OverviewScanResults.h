#pragma once

#include "Detection/Records.h"
#include "Detection/ScanResult.h"
#include "Foundation/IgnoreList.h"

#include <string>
#include <vector>

// The result rows of a completed scan: one parent row per found record (id = its
// position in `scanList`) listing the record's known paths and sub-paths that exist,
// are not covered by `ignored` and are application bundles (".app") or writable, in
// the order found; records left without such a path get no row.
std::vector<ScanResult> scanResultsFrom(const std::vector<MalwareList>& scanList,
                                        const IgnoredPaths& ignored);
