#pragma once

#include "Platform/Values/PropertyList.h"

#include <algorithm>
#include <string>
#include <vector>

namespace testsupport {

// XML plists of arrays (or dictionaries) that open level after level, each with a
// close tag the parser never sees or a tag that only looks closed by itself; a
// tag counter reading raw text finds one or two levels, the parser hundreds of
// thousands (and its recursive release overflows the stack). As many levels as fit
// under the plist file size, at most 262,000.
struct DeceptiveXmlPlist {
    const char* name;
    std::string bytes;
};

inline std::vector<DeceptiveXmlPlist> deceptiveXmlPlists()
{
    const std::pair<const char*, std::string> levels[] = {
        {"attribute", "<array a=\"/>\">"},
        {"comment", "<array><!--</array>-->"},
        {"cdata", "<dict><key><![CDATA[</dict>]]></key>"},
        {"instruction", "<array><?x </array>?>"},
    };
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">";
    std::vector<DeceptiveXmlPlist> plists;
    for (const auto& [name, level] : levels) {
        const std::size_t count =
            std::min<std::size_t>(262'000, (platform::maximumPropertyListSize - head.size()) / level.size());
        std::string bytes = head;
        bytes.reserve(head.size() + count * level.size());
        for (std::size_t i = 0; i < count; ++i)
            bytes += level;
        plists.push_back({name, std::move(bytes)});
    }
    return plists;
}

} // namespace testsupport
