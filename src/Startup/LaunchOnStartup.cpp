#include "Startup/LaunchOnStartup.h"

#include "Foundation/HelperObjc.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/LoginItems/SharedFileListItemURL.h"

namespace {

std::optional<platform::FileURL> urlOfItem(const platform::SharedFileList& list, const platform::SharedFileListItem& item)
{
    return platform::urlOfSharedFileListItem(list, item, "file:");
}

bool holdsBundle(const std::string& path, const std::string& bundleIdentifier)
{
    return platform::Bundle(path).bundleIdentifier() == bundleIdentifier;
}

} // namespace

std::vector<platform::FileURL> LaunchOnStartupList::sessionLoginItemURLs()
{
    if (const auto list = platform::SharedFileList::sessionLoginItems())
        for (const auto& item : list->snapshot())
            if (auto url = urlOfItem(*list, item))
                urlArr.push_back(std::move(*url));
    return urlArr;
}

LoginItemReference loginItemReference(const platform::FileURL& url)
{
    const auto list = platform::SharedFileList::sessionLoginItems();
    if (!list)
        return {};
    const auto items = list->snapshot();
    if (items.empty())
        return {};
    for (const auto& item : items)
        if (urlOfItem(*list, item) == url)
            return {item, items.back()};
    return {std::nullopt, items.back()};
}

bool setLaunchOnStartup(bool enable, const platform::FileURL& url)
{
    const auto [item, anchor] = loginItemReference(url);
    if (enable && !item) {
        const auto list = platform::SharedFileList::sessionLoginItems();
        return list && list->insertURL(url.absoluteString(), anchor);
    }
    if (!enable && item) {
        HelperObjc().itemRefInLoginItems(url.path());
        return !loginItemReference(url).item;
    }
    return true;
}

void removeMovedLoginItems(const std::string& bundleIdentifier, const platform::FileURL& current)
{
    const auto list = platform::SharedFileList::sessionLoginItems();
    if (!list || bundleIdentifier.empty())
        return;
    for (const auto& item : list->snapshot()) {
        const bool madeForIt = item.bundleIdentifier.empty() ? item.name == current.lastPathComponent()
                                                             : item.bundleIdentifier == bundleIdentifier;
        const auto url = platform::FileURL::parse(item.url);
        if (madeForIt && url && url->path() != current.path() && !holdsBundle(url->path(), bundleIdentifier))
            (void)list->remove(item);
    }
}
