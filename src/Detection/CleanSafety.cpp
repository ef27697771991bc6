#include "Detection/CleanSafety.h"

#include "Detection/Scan.h"
#include "Platform/Root/PlatformRoot.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path withoutTrailingSeparator(fs::path path)
{
    path = path.lexically_normal();
    if (!path.has_filename() && path != path.root_path())
        path = path.parent_path();
    return path;
}

// The path as written (normalised) and with its links resolved.
std::vector<fs::path> formsOf(const std::string& path)
{
    std::vector<fs::path> forms{withoutTrailingSeparator(path)};
    std::error_code error;
    const auto resolved = fs::weakly_canonical(path, error);
    if (!error)
        forms.push_back(withoutTrailingSeparator(resolved));
    return forms;
}

// `ancestor` is `path` itself or a folder above it.
bool holds(const fs::path& ancestor, const fs::path& path)
{
    const auto [end, unused] = std::mismatch(ancestor.begin(), ancestor.end(), path.begin(), path.end());
    return end == ancestor.end();
}

std::vector<fs::path> protectedFolders()
{
    std::vector<fs::path> folders;
    for (const auto& root : Scan::shared().quickScanPaths)
        std::ranges::move(formsOf(root), std::back_inserter(folders));
    std::ranges::move(formsOf(platform::homeDirectory()), std::back_inserter(folders));
    return folders;
}

bool isRoot(const fs::path& path)
{
    return path == path.root_path();
}

} // namespace

bool isProtectedFromClean(const std::string& path)
{
    if (!fs::path(path).is_absolute())
        return true;
    const auto root = formsOf(platform::platformRoot());
    const auto folders = protectedFolders();
    return std::ranges::any_of(formsOf(path), [&](const fs::path& candidate) {
        return isRoot(candidate) || std::ranges::find(root, candidate) != root.end() ||
               std::ranges::any_of(folders, [&](const fs::path& folder) { return holds(candidate, folder); });
    });
}
