#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// One entry of a shared file list, as the platform's list items carry it.
struct SharedFileListItem {
    std::int64_t identifier = 0; // unique within its list, kept across changes
    std::string name;            // display name
    std::string url;             // a "file://" URL text, as stored
    std::string description;     // the item's description text; it ends with the URL
    // The bundle identifier of the application the URL named when the item was
    // made (as an alias keeps it); empty for other items and older ones.
    std::string bundleIdentifier;
    friend bool operator==(const SharedFileListItem&, const SharedFileListItem&) = default;
};

// The session login items of the user (LSSharedFileList with
// kLSSharedFileListSessionLoginItems): a property list of the user's,
// "~/Library/Application Support/com.apple.backgroundtaskmanagementagent/loginitems.plist"
// under the platform root, read under a shared and changed under an exclusive file lock;
// a change that cannot take the lock is not made.
class SharedFileList {
public:
    // LSSharedFileListCreate: null when the list's folder cannot be made.
    static std::unique_ptr<SharedFileList> sessionLoginItems();
    // The host path of the session login items' file.
    static std::string sessionLoginItemsPath();

    // LSSharedFileListCopySnapshot: the items in list order (empty when the file
    // is missing or holds no list).
    std::vector<SharedFileListItem> snapshot() const;

    // LSSharedFileListItemCopyResolvedURL: the item's URL while it is a file URL
    // whose file exists; null otherwise.
    std::optional<std::string> resolvedURL(const SharedFileListItem& item) const;

    // LSSharedFileListInsertItemURL: a new item for `url` right after `anchor`
    // (null: before the first item; an anchor no longer listed: at the end).
    // The display name is the URL's last path component; an application bundle's
    // identifier is kept with the item. Null when the list cannot be written.
    std::optional<SharedFileListItem> insertURL(const std::string& url, const std::optional<SharedFileListItem>& anchor);

    // LSSharedFileListItemRemove: false when the item is not listed or the list
    // cannot be written.
    bool remove(const SharedFileListItem& item);

private:
    explicit SharedFileList(std::string path);
    std::string lockPath() const { return path_ + ".lock"; }
    std::vector<SharedFileListItem> read() const;
    bool write(const std::vector<SharedFileListItem>& items) const;

    std::string path_;
};

} // namespace platform
