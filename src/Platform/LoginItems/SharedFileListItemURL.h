#pragma once

#include "Platform/LoginItems/FileURL.h"
#include "Platform/LoginItems/SharedFileList.h"

#include <optional>
#include <string_view>

namespace platform {

// The URL of a list item: its resolved URL; else the text of its description from
// the first `descriptionMarker` ("file:" or "file://") to the end, read as a URL;
// null when neither gives a file URL.
std::optional<FileURL> urlOfSharedFileListItem(const SharedFileList& list, const SharedFileListItem& item,
                                               std::string_view descriptionMarker);

} // namespace platform
