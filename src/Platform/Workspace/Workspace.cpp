#include "Platform/Workspace/Workspace.h"

#include "Platform/Bundle/Bundle.h"
#include "Platform/Workspace/ApplicationRegister.h"
#include "Platform/Root/PlatformRoot.h"
#include "Platform/Tools/ToolPaths.h"
#include "Platform/Tools/ToolProcess.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace platform {

namespace {

constexpr std::array packageExtensions{
    std::string_view{".app"},    std::string_view{".bundle"}, std::string_view{".framework"},
    std::string_view{".plugin"}, std::string_view{".kext"},   std::string_view{".pkg"},
    std::string_view{".mpkg"},   std::string_view{".xpc"},    std::string_view{".appex"},
    std::string_view{".prefPane"}, std::string_view{".qlgenerator"}, std::string_view{".mdimporter"},
    std::string_view{".saver"},  std::string_view{".component"}, std::string_view{".photoslibrary"},
    std::string_view{".rtfd"},
};

// Starts a tool and leaves it running on its own; false when it could not start.
bool startDetached(const std::string& tool, const std::vector<std::string>& arguments)
{
    auto process = ToolProcess::launch(tool, arguments, ToolProcess::Capture::Nothing);
    if (!process)
        return false;
    process->reapInBackground();
    return true;
}

// How many levels of subfolders below an Applications folder ("Utilities", say) an
// application is looked for in.
constexpr int kApplicationFolderDepth = 3;

// The first ".app" bundle with the identifier in `folder` or, level by level, in its
// subfolders (not inside bundles, nor through links to folders).
std::optional<std::string> applicationBelow(const std::string& folder, const std::string& bundleIdentifier)
{
    std::vector<fs::path> level{folder};
    for (int depth = 0; depth <= kApplicationFolderDepth && !level.empty(); ++depth) {
        std::vector<fs::path> below;
        for (const auto& current : level) {
            std::error_code error;
            for (fs::directory_iterator entry(current, error), end; !error && entry != end; entry.increment(error)) {
                const std::string path = entry->path().string();
                if (path.ends_with(".app")) {
                    if (Bundle(path).bundleIdentifier() == bundleIdentifier)
                        return path;
                } else if (std::error_code ignored; entry->is_directory(ignored) && !entry->is_symlink(ignored))
                    below.push_back(entry->path());
            }
        }
        level = std::move(below);
    }
    return std::nullopt;
}

} // namespace

Workspace& Workspace::shared()
{
    static Workspace workspace;
    return workspace;
}

bool Workspace::isFilePackage(const std::string& path) const
{
    std::string_view name(path);
    while (name.size() > 1 && name.back() == '/')
        name.remove_suffix(1);
    const auto extension = fs::path(name).extension().string();
    if (std::ranges::find(packageExtensions, extension) == packageExtensions.end())
        return false;
    std::error_code error;
    return fs::is_directory(path, error);
}

std::optional<std::string> Workspace::urlForApplication(const std::string& bundleIdentifier) const
{
    if (auto registered = registeredApplication(bundleIdentifier))
        return registered;
    for (const auto& folder : {hostPath("/Applications"), homeDirectory() + "/Applications"})
        if (auto found = applicationBelow(folder, bundleIdentifier))
            return found;
    return std::nullopt;
}

bool Workspace::launchApplication(const std::string& bundleIdentifier) const
{
    const auto path = urlForApplication(bundleIdentifier);
    return path && openFile(*path);
}

bool Workspace::openFile(const std::string& path) const
{
    return startDetached(resolveToolPath("/usr/bin/open"), {path});
}

bool Workspace::openURL(const std::string& url) const
{
    return startDetached("/usr/bin/xdg-open", {url});
}

std::string Workspace::iconForFile(const std::string& path) const
{
    if (isFilePackage(path)) {
        const Bundle bundle(path);
        const Value* iconFile = bundle.objectForInfoDictionaryKey("CFBundleIconFile");
        if (iconFile && iconFile->asText()) {
            const fs::path name(*iconFile->asText());
            // A name without a type is an icon set, or on this platform a PNG picture.
            const std::vector<std::string> types = name.has_extension()
                ? std::vector<std::string>{name.extension().string().substr(1)}
                : std::vector<std::string>{"icns", "png"};
            for (const std::string& type : types)
                if (auto resource = bundle.pathForResource(name.stem().string(), type))
                    return *resource;
        }
    }
    return path;
}

} // namespace platform
