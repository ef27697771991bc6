#include "Foundation/IgnoreList.h"

#include "Foundation/Settings.h"

#include <QString>

#include <algorithm>
#include <functional>

namespace fs = std::filesystem;

namespace {

// A path as the rule compares it: composed (NFC), lexically normal, no trailing separator.
fs::path comparable(const std::string& path)
{
    const std::string composed = QString::fromStdString(path).normalized(QString::NormalizationForm_C).toStdString();
    fs::path normal = fs::path(composed).lexically_normal();
    if (!normal.has_filename() && normal != normal.root_path())
        normal = normal.parent_path();
    return normal;
}

// `ancestor` is `path` itself or a folder above it; an empty path is neither.
bool holds(const fs::path& ancestor, const fs::path& path)
{
    return !ancestor.empty() && !path.empty()
        && std::mismatch(ancestor.begin(), ancestor.end(), path.begin(), path.end()).first == ancestor.end();
}

// `change` gets the entries as stored now (none for a value that is not a list);
// the ones it leaves alone, of whatever kind, are written back as they were.
bool changeStoredIgnoreList(const std::function<void(platform::Array& entries)>& change)
{
    platform::UserDefaults* suite = appGroupDefaults();
    return suite && suite->modifyArray(SettingsKey::ignoreAllPaths, change);
}

} // namespace

IgnoredPaths::IgnoredPaths(const std::vector<std::string>& entries)
{
    for (const std::string& entry : entries)
        entries_.push_back(comparable(entry));
}

IgnoredPaths IgnoredPaths::stored()
{
    return IgnoredPaths(storedIgnoreListPaths());
}

bool IgnoredPaths::covers(const std::string& path) const
{
    if (entries_.empty())
        return false; // the common case, on every download event: no path to compose
    const fs::path candidate = comparable(path);
    return std::ranges::any_of(entries_, [&](const fs::path& entry) { return holds(entry, candidate); });
}

bool IgnoredPaths::keepsAnythingAt(const std::string& path) const
{
    const fs::path candidate = comparable(path);
    return std::ranges::any_of(
        entries_, [&](const fs::path& entry) { return holds(entry, candidate) || holds(candidate, entry); });
}

bool isStoredIgnoreListReadable()
{
    const platform::UserDefaults* suite = appGroupDefaults();
    return !suite || suite->isReadable();
}

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

bool addToStoredIgnoreList(const std::vector<std::string>& paths)
{
    return changeStoredIgnoreList([&](platform::Array& entries) {
        for (const std::string& path : paths)
            if (std::ranges::find(entries, platform::Value(path)) == entries.end())
                entries.emplace_back(path);
    });
}

bool removeFromStoredIgnoreList(const std::vector<StoredIgnoreListEntry>& entries)
{
    const auto isTaken = [&](std::size_t position, const std::string& path) {
        return std::ranges::any_of(entries, [&](const StoredIgnoreListEntry& entry) {
            return entry.position == position && entry.path == path;
        });
    };
    return changeStoredIgnoreList([&](platform::Array& stored) {
        platform::Array kept;
        std::size_t position = 0; // among the text entries, as storedIgnoreListPaths() counts
        for (platform::Value& each : stored) {
            const std::string* path = each.asText();
            if (!path || !isTaken(position++, *path))
                kept.push_back(std::move(each));
        }
        stored = std::move(kept);
    });
}
