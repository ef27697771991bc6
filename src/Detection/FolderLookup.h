#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

// Whether paths are folders, for a load that asks it of many paths in few
// folders. The second path asked in one parent folder has that folder listed
// once (its subfolders and its links kept), and every later one is looked up
// among those names without a call to the file system. A path that is not
// plain ("." or ".." parts, doubled or trailing "/"), a parent that cannot be
// listed or that matches names without regard to case, and links, are asked of
// the file system itself, so the answers are those of a test of each path.
class FolderLookup {
public:
    bool isFolder(const std::string& path);

private:
    // Looks names up as views, so asking makes no copies.
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
    };
    using Names = std::unordered_set<std::string, NameHash, std::equal_to<>>;
    struct Listing {
        Names folders;
        Names links; // and entries of unknown type
    };
    struct Parent {
        bool seen = false;
        bool unlistable = false;
        std::optional<Listing> listing;
    };

    // The parent's names once it is worth listing; null when the path is to be asked of the file system.
    const Listing* listingOf(std::string_view folder);

    std::unordered_map<std::string, Parent, NameHash, std::equal_to<>> parents_;
};
