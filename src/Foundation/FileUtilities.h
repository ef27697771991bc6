#pragma once

#include "Platform/Files/FolderDescriptors.h"
#include "Platform/Image/Image.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Every regular file below the folder, depth first: hidden entries and the
// insides of packages (".app" and the like) are skipped, links are not followed
// or listed, and files of photo libraries (".photoslibrary", "Photo Booth
// Library", any letter case) are left out. Unreadable entries are passed over;
// null when the folder itself cannot be listed. `folder` is the folder `at` names,
// opened for reading.
std::optional<std::vector<std::string>> listFilesRecursively(const std::string& at, platform::Descriptor folder);

// Whether the path is absolute and all its parts are names: no empty, "." or ".."
// part and no trailing separator, so that it is its own normal form. "/" is not.
bool isPlainAbsolutePath(std::string_view path);

// Whether the path names an application bundle: it ends in ".app", written with
// or without trailing separators.
bool isApplicationBundlePath(std::string_view path);

// The icon an item shows; an empty image when it has none. For an item that
// cannot be read: the generic application icon when its extension is "app",
// else null.
std::optional<platform::Image> getFileIcon(const std::string& path);

// The image file scaled to at most maxPixelSize on its longer side; null when unreadable.
std::optional<platform::Image> thumbnailImage(const std::string& url, double maxPixelSize);

// Whether a bundle directly in "/Applications" has exactly this identifier.
bool isApplicationInstalled(const std::string& bundleIdentifier);
