#include "Startup/ApplicationLookup.h"

#include "Platform/Bundle/Bundle.h"
#include "Platform/Root/PlatformRoot.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int deepestNesting = 8; // Tool.app/Contents/Library/LoginItems/Helper.app is 4 levels down

std::vector<fs::path> sortedFolders(const fs::path& folder)
{
    std::vector<fs::path> folders;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (it->is_directory(error) && !it->is_symlink(error))
            folders.push_back(it->path());
    std::sort(folders.begin(), folders.end());
    return folders;
}

std::optional<std::string> findBundle(const fs::path& folder, const std::string& identifier, int depth)
{
    if (depth > deepestNesting)
        return std::nullopt;
    for (const auto& entry : sortedFolders(folder)) {
        if (entry.extension() == ".app" && platform::Bundle(entry.string()).bundleIdentifier() == identifier)
            return entry.string();
        if (auto found = findBundle(entry, identifier, depth + 1))
            return found;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> absolutePathForAppBundle(const std::string& withIdentifier)
{
    if (withIdentifier.empty())
        return std::nullopt;
    for (const auto& root : {platform::hostPath("/Applications"), platform::homeDirectory() + "/Applications"})
        if (auto found = findBundle(root, withIdentifier, 0))
            return found;
    return std::nullopt;
}
