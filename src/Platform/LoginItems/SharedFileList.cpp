#include "Platform/LoginItems/SharedFileList.h"

#include "Platform/Bundle/Bundle.h"
#include "Platform/Defaults/FileLock.h"
#include "Platform/LoginItems/FileURL.h"
#include "Platform/Root/PlatformRoot.h"
#include "Platform/Values/PropertyList.h"

#include <algorithm>
#include <filesystem>

namespace platform {

namespace {

namespace fs = std::filesystem;

constexpr const char* identifierKey = "Identifier";
constexpr const char* nameKey = "Name";
constexpr const char* urlKey = "URL";
constexpr const char* descriptionKey = "Description";
constexpr const char* bundleIdentifierKey = "BundleIdentifier";

std::optional<SharedFileListItem> itemFromValue(const Value& value)
{
    const Value* identifier = value.find(identifierKey);
    const Value* name = value.find(nameKey);
    const Value* url = value.find(urlKey);
    const Value* description = value.find(descriptionKey);
    if (!identifier || !identifier->asInteger() || !name || !name->asText() || !url || !url->asText()
        || !description || !description->asText())
        return std::nullopt;
    const Value* bundleIdentifier = value.find(bundleIdentifierKey);
    return SharedFileListItem{*identifier->asInteger(), *name->asText(), *url->asText(), *description->asText(),
                              bundleIdentifier && bundleIdentifier->asText() ? *bundleIdentifier->asText() : ""};
}

Value valueFromItem(const SharedFileListItem& item)
{
    Dictionary entry{{identifierKey, Value(static_cast<long long>(item.identifier))},
                     {nameKey, item.name},
                     {urlKey, item.url},
                     {descriptionKey, item.description}};
    if (!item.bundleIdentifier.empty())
        entry.emplace(bundleIdentifierKey, item.bundleIdentifier);
    return entry;
}

// The identifier of the application bundle the URL names; empty for anything else.
std::string bundleIdentifierAt(const std::string& url)
{
    const auto parsed = FileURL::parse(url);
    if (!parsed || parsed->pathExtension() != "app")
        return {};
    return Bundle(parsed->path()).bundleIdentifier().value_or("");
}

std::string describe(const std::string& name, const std::string& url)
{
    return "SharedFileListItem \"" + name + "\" " + url;
}

std::string displayName(const std::string& url)
{
    const auto parsed = FileURL::parse(url);
    return parsed ? parsed->lastPathComponent() : url;
}

} // namespace

std::string SharedFileList::sessionLoginItemsPath()
{
    return homeDirectory() + "/Library/Application Support/com.apple.backgroundtaskmanagementagent/loginitems.plist";
}

std::unique_ptr<SharedFileList> SharedFileList::sessionLoginItems()
{
    const std::string path = sessionLoginItemsPath();
    std::error_code error;
    fs::create_directories(fs::path(path).parent_path(), error);
    if (!fs::is_directory(fs::path(path).parent_path()))
        return nullptr;
    return std::unique_ptr<SharedFileList>(new SharedFileList(path));
}

SharedFileList::SharedFileList(std::string path) : path_(std::move(path)) {}

std::vector<SharedFileListItem> SharedFileList::read() const
{
    std::vector<SharedFileListItem> items;
    const auto root = readPropertyListFile(path_);
    if (!root || !root->asArray())
        return items;
    for (const Value& entry : *root->asArray())
        if (auto item = itemFromValue(entry))
            items.push_back(std::move(*item));
    return items;
}

bool SharedFileList::write(const std::vector<SharedFileListItem>& items) const
{
    Array entries;
    for (const auto& item : items)
        entries.push_back(valueFromItem(item));
    return writePropertyListFile(path_, Value(std::move(entries)));
}

std::vector<SharedFileListItem> SharedFileList::snapshot() const
{
    FileLock lock(lockPath(), FileLock::Mode::Shared);
    return read();
}

std::optional<std::string> SharedFileList::resolvedURL(const SharedFileListItem& item) const
{
    const auto url = FileURL::parse(item.url);
    std::error_code error;
    if (!url || !fs::exists(url->path(), error))
        return std::nullopt;
    return item.url;
}

std::optional<SharedFileListItem> SharedFileList::insertURL(const std::string& url,
                                                            const std::optional<SharedFileListItem>& anchor)
{
    FileLock lock(lockPath(), FileLock::Mode::Exclusive);
    if (!lock.held())
        return std::nullopt; // unlocked, a change could write over another's
    auto items = read();
    std::int64_t identifier = 1;
    for (const auto& item : items)
        identifier = std::max(identifier, item.identifier + 1);
    const std::string name = displayName(url);
    SharedFileListItem item{identifier, name, url, describe(name, url), bundleIdentifierAt(url)};

    auto position = items.begin();
    if (anchor) {
        auto found = std::find_if(items.begin(), items.end(),
                                  [&](const SharedFileListItem& listed) { return listed.identifier == anchor->identifier; });
        position = found == items.end() ? items.end() : std::next(found);
    }
    items.insert(position, item);
    if (!write(items))
        return std::nullopt;
    return item;
}

bool SharedFileList::remove(const SharedFileListItem& item)
{
    FileLock lock(lockPath(), FileLock::Mode::Exclusive);
    if (!lock.held())
        return false;
    auto items = read();
    const auto removed = std::erase_if(items, [&](const SharedFileListItem& listed) { return listed.identifier == item.identifier; });
    return removed > 0 && write(items);
}

} // namespace platform
