#pragma once

#include <optional>
#include <string>

namespace platform {

// One release of an update feed.
struct SUAppcastItem {
    std::string title;
    std::string versionString;        // the build version compared with CFBundleVersion
    std::string displayVersionString; // the short version shown to the user
    std::string fileURL;              // the zipped bundle of the release
};

// Compares two version texts piece by piece: runs of digits as numbers, other runs
// as text, so that "1.10" is newer than "1.9" and "1.0.1" newer than "1.0".
// Negative, zero or positive as `a` is older, equal or newer than `b`.
int compareVersions(const std::string& a, const std::string& b);

// The newest release of an RSS appcast: the item whose enclosure carries a url and a
// version ("sparkle:version", or the item's <sparkle:version> element); null when
// the text is no feed or lists no such item.
std::optional<SUAppcastItem> newestAppcastItem(const std::string& feedText);

// Whether the text is an RSS feed at all (well-formed, its root element "rss"), with
// or without releases: a text that is not cannot tell that no update exists.
bool isAppcast(const std::string& feedText);

} // namespace platform
