#include "Foundation/FileUtilities.h"

#include "Platform/Bundle/Bundle.h"
#include "Platform/FileManager/DirectoryEnumerator.h"
#include "Platform/Root/PlatformRoot.h"
#include "Platform/Workspace/Workspace.h"

#include <QString>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

bool isHidden(const fs::path& path)
{
    return path.filename().string().starts_with(".");
}

bool isInPhotoLibrary(const std::string& file)
{
    const std::string path = QString::fromStdString(file).toLower().toStdString();
    return path.find(".photoslibrary/") != std::string::npos ||
           path.find("/photo booth library/") != std::string::npos;
}

} // namespace

std::optional<std::vector<std::string>> listFilesRecursively(const std::string& at)
{
    const auto enumerator = platform::DirectoryEnumerator::make(at);
    if (!enumerator)
        return std::nullopt;
    std::vector<std::string> files;
    while (const std::string* relative = enumerator->nextObject()) {
        const std::string path = (fs::path(at) / *relative).string();
        const auto type = enumerator->fileType();
        if (isHidden(*relative) || (type == platform::FileType::Directory &&
                                    platform::Workspace::shared().isFilePackage(path)))
            enumerator->skipDescendants();
        else if (type == platform::FileType::Regular && !isInPhotoLibrary(path))
            files.push_back(path);
    }
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
    std::error_code error;
    fs::directory_iterator entries(platform::hostPath("/Applications"), error);
    if (error)
        return false;
    return std::any_of(begin(entries), end(entries), [&](const fs::directory_entry& entry) {
        std::error_code notFolder;
        return !isHidden(entry.path()) && entry.is_directory(notFolder) &&
               platform::Bundle(entry.path().string()).bundleIdentifier() == bundleIdentifier;
    });
}
