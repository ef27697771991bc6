#include "Foundation/IgnoreList.h"

#include "Foundation/Settings.h"

#include <algorithm>
#include <functional>

namespace {

bool isOneOf(const platform::Value& entry, const std::vector<std::string>& paths)
{
    const std::string* text = entry.asText();
    return text && std::ranges::find(paths, *text) != paths.end();
}

// `change` gets the entries as stored now (none for a value that is not a list);
// the ones it leaves alone, of whatever kind, are written back as they were.
void changeStoredIgnoreList(const std::function<void(platform::Array& entries)>& change)
{
    if (platform::UserDefaults* suite = appGroupDefaults())
        suite->modifyArray(SettingsKey::ignoreAllPaths, change);
}

} // namespace

std::vector<std::string> storedIgnoreListPaths()
{
    platform::UserDefaults* suite = appGroupDefaults();
    const std::optional<platform::Array> stored = suite ? suite->array(SettingsKey::ignoreAllPaths) : std::nullopt;
    std::vector<std::string> paths;
    for (const platform::Value& each : stored.value_or(platform::Array{}))
        if (const std::string* path = each.asText())
            paths.push_back(*path);
    return paths;
}

void addToStoredIgnoreList(const std::vector<std::string>& paths)
{
    changeStoredIgnoreList([&](platform::Array& entries) {
        for (const std::string& path : paths)
            if (std::ranges::find(entries, platform::Value(path)) == entries.end())
                entries.emplace_back(path);
    });
}

void removeFromStoredIgnoreList(const std::vector<std::string>& paths)
{
    changeStoredIgnoreList([&](platform::Array& entries) {
        std::erase_if(entries, [&](const platform::Value& each) { return isOneOf(each, paths); });
    });
}
