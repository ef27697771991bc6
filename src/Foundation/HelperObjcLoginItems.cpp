#include "Foundation/HelperObjc.h"

#include "Platform/Launchd/ServiceManagement.h"
#include "Platform/LoginItems/SharedFileListItemURL.h"

#include <iostream>

namespace {

void logItem(const std::optional<platform::SharedFileListItem>& item)
{
    std::clog << (item ? item->description : std::string("(null)")) << std::endl;
}

} // namespace

std::optional<platform::SharedFileListItem> HelperObjc::itemRefInLoginItems(const std::string& path)
{
    const auto list = platform::SharedFileList::sessionLoginItems();
    if (!list) {
        logItem(std::nullopt);
        return std::nullopt;
    }
    std::optional<platform::SharedFileListItem> match;
    for (const auto& item : list->snapshot()) {
        const auto url = platform::urlOfSharedFileListItem(*list, item, "file://");
        if (url && url->path() == path)
            match = item;
    }
    logItem(match);
    if (match)
        (void)list->remove(*match);
    return match;
}

std::optional<platform::Array> HelperObjc::getLoginItems()
{
    return platform::SMCopyAllJobDictionaries(platform::LaunchdDomain::User);
}
