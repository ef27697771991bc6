#pragma once

#include "Platform/LoginItems/FileURL.h"
#include "Platform/LoginItems/SharedFileList.h"

#include <optional>
#include <string>
#include <vector>

// The user's session login items: the applications opened at login.

class LaunchOnStartupList {
public:
    std::vector<platform::FileURL> urlArr;

    // Appends the URL of every session login item that has one, in list order,
    // to urlArr and returns the whole of urlArr.
    std::vector<platform::FileURL> sessionLoginItemURLs();
};

// The listed item whose URL equals `url` (exactly), and the item after which a
// new entry goes: the last item, or none (before the first) for an empty list.
struct LoginItemReference {
    std::optional<platform::SharedFileListItem> item;
    std::optional<platform::SharedFileListItem> anchor;
};
LoginItemReference loginItemReference(const platform::FileURL& url);

// Adds `url` at the end of the session login items when it is not listed, or
// takes the entry with its path out. True when the list holds the entry (enable)
// or no longer does (disable); false when the list could not be changed.
bool setLaunchOnStartup(bool enable, const platform::FileURL& url);

// Takes out the session login items that were the application's own at another
// place: made for a bundle with `bundleIdentifier` (or, made before the list kept
// identifiers, named as `current` is), whose path now holds no bundle with that
// identifier (moved, renamed or deleted since). Every other entry stays.
void removeMovedLoginItems(const std::string& bundleIdentifier, const platform::FileURL& current);
