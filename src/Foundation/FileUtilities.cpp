#include "Foundation/FileUtilities.h"

#include "Platform/Bundle/Bundle.h"
#include "Platform/FileManager/DirectoryEnumerator.h"
#include "Platform/Root/PlatformRoot.h"
#include "Platform/Workspace/Workspace.h"

#include <algorithm>
#include <string_view>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

bool isHidden(std::string_view relative)
{
    const auto slash = relative.rfind('/');
    return relative.substr(slash == std::string_view::npos ? 0 : slash + 1).starts_with('.');
}

// Case is folded for ASCII letters only, as a path's bytes hold them: no locale is
// asked for each byte.
bool containsIgnoringCase(std::string_view text, std::string_view lowerPart)
{
    const auto lower = [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b; };
    return std::ranges::search(text, lowerPart, lower).begin() != text.end();
}

bool isInPhotoLibrary(std::string_view file)
{
    return containsIgnoringCase(file, ".photoslibrary/") || containsIgnoringCase(file, "/photo booth library/");
}

} // namespace

std::optional<std::vector<std::string>> listFilesRecursively(const std::string& at, platform::Descriptor folder)
{
    const auto enumerator = platform::DirectoryEnumerator::make(std::move(folder));
    if (!enumerator)
        return std::nullopt;
    std::vector<std::string> files;
    const std::string prefix = at.ends_with('/') ? at : at + '/';
    while (const std::string* relative = enumerator->nextObject()) {
        const std::string path = prefix + *relative;
        const auto type = enumerator->fileType();
        if (isHidden(*relative) || (type == platform::FileType::Directory &&
                                    platform::Workspace::shared().isFilePackage(path)))
            enumerator->skipDescendants();
        else if (type == platform::FileType::Regular && !isInPhotoLibrary(path))
            files.push_back(path);
    }
    return files;
}

bool isPlainAbsolutePath(std::string_view path)
{
    if (path.size() < 2 || path.front() != '/' || path.back() == '/')
        return false;
    for (std::size_t start = 1; start < path.size();) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string_view part = path.substr(start, end - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        start = end + 1;
    }
    return true;
}

bool isApplicationBundlePath(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    return path.ends_with(".app");
}

std::optional<platform::Image> getFileIcon(const std::string& path)
{
    std::error_code error;
    if (!fs::exists(fs::symlink_status(path, error))) {
        if (fs::path(path).extension() == ".app")
            return platform::Image::genericApplicationIcon();
        return std::nullopt;
    }
    return platform::Image::iconForFile(path).value_or(platform::Image());
}

std::optional<platform::Image> thumbnailImage(const std::string& url, double maxPixelSize)
{
    return platform::Image::thumbnail(url, maxPixelSize);
}

bool isApplicationInstalled(const std::string& bundleIdentifier)
{
    std::error_code error;
    fs::directory_iterator entries(platform::hostPath("/Applications"), error);
    if (error)
        return false;
    return std::any_of(begin(entries), end(entries), [&](const fs::directory_entry& entry) {
        std::error_code notFolder;
        return !isHidden(entry.path().native()) && entry.is_directory(notFolder) &&
               platform::Bundle(entry.path().string()).bundleIdentifier() == bundleIdentifier;
    });
}
