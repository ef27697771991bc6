#include "Detection/FileListing.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <string_view>

namespace fs = std::filesystem;

namespace {

// Folders with these extensions are packages: listed as one item, never entered.
constexpr std::array<std::string_view, 9> packageExtensions = {
    ".app", ".bundle", ".framework", ".plugin", ".kext", ".pkg", ".mpkg", ".photoslibrary", ".xpc"};

constexpr std::array<std::string_view, 2> photoLibraryMarkers = {".photoslibrary/", "/photo booth library/"};

std::string lowerCased(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

bool isPackage(const fs::path& folder)
{
    const auto extension = folder.extension().string();
    return std::find(packageExtensions.begin(), packageExtensions.end(), extension) != packageExtensions.end();
}

bool isInPhotoLibrary(const std::string& path)
{
    const auto lowered = lowerCased(path);
    return std::any_of(photoLibraryMarkers.begin(), photoLibraryMarkers.end(),
                       [&](std::string_view marker) { return lowered.find(marker) != std::string::npos; });
}

} // namespace

std::optional<std::vector<std::string>> listFilesRecursively(const std::string& folder)
{
    std::error_code error;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
    if (error)
        return std::nullopt;
    std::vector<std::string> files;
    for (; it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (error)
            break;
        const auto& entry = *it;
        const bool hidden = entry.path().filename().string().starts_with('.');
        std::error_code typeError;
        if (entry.is_directory(typeError) && (hidden || isPackage(entry.path())))
            it.disable_recursion_pending();
        if (hidden || !entry.is_regular_file(typeError) || entry.is_symlink(typeError))
            continue;
        if (!isInPhotoLibrary(entry.path().string()))
            files.push_back(entry.path().string());
    }
    return files;
}
