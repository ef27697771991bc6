#include "Platform/LoginItems/SharedFileListItemURL.h"

namespace platform {

std::optional<FileURL> urlOfSharedFileListItem(const SharedFileList& list, const SharedFileListItem& item,
                                               std::string_view descriptionMarker)
{
    if (const auto resolved = list.resolvedURL(item))
        return FileURL::parse(*resolved);
    const auto marker = item.description.find(descriptionMarker);
    if (marker == std::string::npos)
        return std::nullopt;
    return FileURL::parse(item.description.substr(marker));
}

} // namespace platform
