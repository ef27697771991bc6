#include "Agent/AlertedDownloads.h"

#include "Foundation/Settings.h"

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace {

using TextList = std::vector<std::string>;

void changeAlertedDownloads(const std::function<void(TextList&)>& change)
{
    standardDefaults().modifyObject(SettingsKey::newDownloadPathsWithNags, [&](const platform::Value* stored) {
        TextList paths;
        if (stored && isSettingsValueOfType(*stored, SettingsType::arrayOfTexts))
            for (const auto& entry : *stored->asArray())
                paths.push_back(*entry.asText());
        const TextList before = paths;
        change(paths);
        if (paths == before)
            return stored ? *stored : platform::Value();
        return platform::Value(platform::Array(paths.begin(), paths.end()));
    });
}

} // namespace

bool isAlertedDownloadPath(const std::string& path)
{
    const auto stored = readSetting(SettingsKey::newDownloadPathsWithNags); // a list of texts, or none
    return stored && std::ranges::find(*stored->asArray(), platform::Value(path)) != stored->asArray()->end();
}

bool addAlertedDownloadPath(const std::string& path)
{
    bool added = false;
    changeAlertedDownloads([&](TextList& paths) {
        added = std::ranges::find(paths, path) == paths.end();
        if (added)
            paths.push_back(path);
    });
    return added;
}

void removeAlertedDownloadPath(const std::string& path)
{
    changeAlertedDownloads([&](TextList& paths) { std::erase(paths, path); });
}

TextList takeAlertedDownloadPaths()
{
    TextList taken;
    changeAlertedDownloads([&](TextList& paths) { taken = std::exchange(paths, {}); });
    return taken;
}
