#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// One entry of a shared file list: what the platform's list items carry.
struct SharedFileListItem {
    std::string url;         // a "file://" URL text, as stored
    std::string description; // the item's description text
    bool resolves = true;    // false when the item no longer resolves to a URL
    friend bool operator==(const SharedFileListItem&, const SharedFileListItem&) = default;
};

// The session login items of the user (LSSharedFileList with
// kLSSharedFileListSessionLoginItems): a property list of the user's,
// "~/Library/Application Support/com.apple.backgroundtaskmanagementagent/loginitems.plist"
// under the platform root, read and written under a file lock.
class SharedFileList {
public:
    // LSSharedFileListCreate: null when the list cannot be opened.
    static std::unique_ptr<SharedFileList> sessionLoginItems();

    std::vector<SharedFileListItem> snapshot() const;                 // LSSharedFileListCopySnapshot
    std::optional<std::string> resolvedURL(const SharedFileListItem&) const; // LSSharedFileListItemCopyResolvedURL
    // LSSharedFileListInsertItemURL after `anchor` (null: before the first item).
    void insertURL(const std::string& url, const std::optional<SharedFileListItem>& anchor);
    void insertURLAtEnd(const std::string& url);
    bool remove(const SharedFileListItem& item);                      // LSSharedFileListItemRemove

private:
    explicit SharedFileList(std::string path);
    std::string path_;
};

} // namespace platform
