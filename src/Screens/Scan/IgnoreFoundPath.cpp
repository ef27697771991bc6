#include "Screens/Scan/IgnoreFoundPath.h"

#include "Detection/SharedLists.h"
#include "Foundation/IgnoreList.h"

void ignoreFoundPath(const std::string& path)
{
    addToStoredIgnoreList({path});
    const IgnoredPaths ignored({path});
    scanResults().update([&ignored](std::vector<ScanResult>& results) {
        for (ScanResult& result : results)
            if (result.items)
                std::erase_if(*result.items,
                              [&ignored](const ScanResultItem& item) { return item.path && ignored.covers(*item.path); });
        std::erase_if(results, [](const ScanResult& result) { return !result.items || result.items->empty(); });
    });
}
