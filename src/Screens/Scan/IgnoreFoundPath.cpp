#include "Screens/Scan/IgnoreFoundPath.h"

#include "Detection/SharedLists.h"
#include "Foundation/IgnoreList.h"

bool ignoreFoundPath(const std::string& path)
{
    if (!addToStoredIgnoreList({path}))
        return false;
    const IgnoredPaths ignored({path});
    scanResults().update([&ignored](std::vector<ScanResult>& results) {
        for (ScanResult& result : results)
            if (result.items)
                std::erase_if(*result.items,
                              [&ignored](const ScanResultItem& item) { return item.path && ignored.covers(*item.path); });
        std::erase_if(results, [](const ScanResult& result) { return !result.items || result.items->empty(); });
    });
    return true;
}
