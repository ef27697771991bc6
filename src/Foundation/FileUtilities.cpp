#include "Foundation/FileUtilities.h"

#include "Platform/Bundle/Bundle.h"
#include "Platform/Root/PlatformRoot.h"

#include <QString>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>

namespace fs = std::filesystem;

namespace {

// Folder extensions that the Finder shows as one item.
constexpr std::array<std::string_view, 16> packageExtensions{
    ".app", ".appex", ".bundle", ".component", ".framework", ".kext", ".mdimporter", ".mpkg",
    ".photoslibrary", ".pkg", ".plugin", ".prefpane", ".qlgenerator", ".rtfd", ".saver", ".xpc"};

std::string lowercase(const std::string& text)
{
    return QString::fromStdString(text).toLower().toStdString();
}

bool isHidden(const fs::path& path)
{
    return path.filename().string().starts_with(".");
}

bool isPackage(const fs::path& path)
{
    const std::string extension = lowercase(path.extension().string());
    return std::find(packageExtensions.begin(), packageExtensions.end(), extension) != packageExtensions.end();
}

bool isInPhotoLibrary(const fs::path& file)
{
    const std::string path = lowercase(file.string());
    return path.find(".photoslibrary/") != std::string::npos ||
           path.find("/photo booth library/") != std::string::npos;
}

// The visible entries of a folder in name order; null when it cannot be listed.
std::optional<std::vector<fs::directory_entry>> visibleEntries(const fs::path& folder)
{
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error)
        return std::nullopt;
    std::vector<fs::directory_entry> entries;
    for (fs::directory_iterator end; it != end; it.increment(error)) {
        if (error)
            break;
        if (!isHidden(it->path()))
            entries.push_back(*it);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

void collectFiles(const fs::path& folder, std::vector<std::string>& files)
{
    for (const auto& entry : visibleEntries(folder).value_or(std::vector<fs::directory_entry>{})) {
        std::error_code error;
        const auto status = entry.symlink_status(error);
        if (error)
            continue;
        if (fs::is_regular_file(status) && !isInPhotoLibrary(entry.path()))
            files.push_back(entry.path().string());
        else if (fs::is_directory(status) && !isPackage(entry.path()))
            collectFiles(entry.path(), files);
    }
}

} // namespace

std::optional<std::vector<std::string>> listFilesRecursively(const std::string& at)
{
    if (!visibleEntries(at))
        return std::nullopt;
    std::vector<std::string> files;
    collectFiles(at, files);
    return files;
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
    const auto entries = visibleEntries(platform::hostPath("/Applications"));
    if (!entries)
        return false;
    return std::any_of(entries->begin(), entries->end(), [&](const fs::directory_entry& entry) {
        std::error_code error;
        return entry.is_directory(error) &&
               platform::Bundle(entry.path().string()).bundleIdentifier() == bundleIdentifier;
    });
}
