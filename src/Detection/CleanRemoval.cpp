#include "Detection/Clean.h"

#include "Foundation/FileUtilities.h"
#include "Foundation/HelperObjc.h"
#include "Foundation/UserPaths.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/FileManager/FileManager.h"
#include "Platform/Workspace/Workspace.h"

#include <QString>

#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <iostream>
#include <thread>

namespace fs = std::filesystem;

namespace {

using platform::ApplicationActivationPolicy;

constexpr auto bundlePacing = std::chrono::milliseconds(100);

// The order in which running copies are looked for, one copy quit per policy.
constexpr std::array quitOrder{ApplicationActivationPolicy::Accessory, ApplicationActivationPolicy::Prohibited,
                               ApplicationActivationPolicy::Regular};

std::string lowercased(const std::string& text)
{
    return QString::fromStdString(text).toLower().toStdString();
}

// The folder's real path, its last component not followed: a link has no inside.
// Empty when the folder cannot be resolved.
std::string realFolderPath(const std::string& path)
{
    std::error_code error;
    const fs::path folder(path);
    if (fs::is_symlink(folder, error) || !fs::is_directory(folder, error))
        return {};
    const fs::path real = fs::canonical(folder, error);
    return error ? std::string() : real.string();
}

bool liesInside(const std::string& path, const std::string& folder)
{
    return !folder.empty() && path.starts_with(folder + "/");
}

// Whether a running copy may be quit for the found bundle: it runs from inside that
// bundle, and it is neither the application itself nor its installed agent.
std::function<bool(const platform::RunningApplication&)> quittableFrom(const std::string& bundleFolder)
{
    return [bundleFolder, own = realFolderPath(platform::Bundle::main().bundlePath()),
            agent = realFolderPath(installedAgentPath())](const platform::RunningApplication& application) {
        const std::string& executable = application.executablePath;
        return liesInside(executable, bundleFolder) && !liesInside(executable, own) && !liesInside(executable, agent);
    };
}

// The identifier comes from the found bundle's own Info.plist, so it only chooses
// among the copies that run from inside that bundle.
void forceQuitRunningCopies(const platform::Bundle& bundle)
{
    const auto identifier = bundle.bundleIdentifier();
    const std::string bundleFolder = realFolderPath(bundle.bundlePath());
    if (!identifier || bundleFolder.empty())
        return;
    const std::string wanted = lowercased(*identifier);
    const auto quittable = quittableFrom(bundleFolder);
    const auto running = platform::Workspace::shared().runningApplications();
    for (const auto policy : quitOrder) {
        for (const auto& application : running) {
            if (application.activationPolicy == policy && application.bundleIdentifier &&
                lowercased(*application.bundleIdentifier) == wanted && quittable(application)) {
                application.forceTerminate();
                break;
            }
        }
    }
}

// With the user's own rights, on descriptors as the privileged remover walks, from
// the item's folder as the user's links on its path lead to it.
std::optional<std::string> removeWithFileManager(const std::string& path, bool moveToTrash)
{
    const auto& files = platform::FileManager::defaultManager();
    platform::FileError error;
    const bool removed = moveToTrash ? files.trashItem(path, nullptr, &error) : files.removeItem(path, &error);
    if (removed)
        return std::nullopt;
    std::cout << error.description << std::endl;
    return error.reason;
}

// The path as text, without "." or ".." steps or a trailing "/".
std::string normalPath(const std::string& path)
{
    std::string text = fs::path(path).lexically_normal().string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

// The kept item whose refused or failed removal keeps `path`, which lies inside it.
const KeptItem* refusedFolderHolding(const std::string& path, const std::vector<KeptItem>& keptSoFar)
{
    const std::string item = normalPath(path);
    for (const auto& kept : keptSoFar)
        if (kept.reason == KeptReason::notRemoved && liesInside(item, normalPath(kept.path)))
            return &kept;
    return nullptr;
}

} // namespace

std::optional<std::string> removeCleanItem(const std::string& path, bool moveToTrash,
                                           const std::vector<KeptItem>& keptSoFar)
{
    if (const KeptItem* folder = refusedFolderHolding(path, keptSoFar)) {
        std::cout << "Not removed: \"" << path << "\" lies inside \"" << folder->path << "\", which was kept" << std::endl;
        return folder->failure;
    }
    if (!isApplicationBundlePath(path))
        return removeWithFileManager(path, moveToTrash);
    forceQuitRunningCopies(platform::Bundle(path));
    std::this_thread::sleep_for(bundlePacing);
    if (platform::FileManager::defaultManager().isWritableFile(path))
        return removeWithFileManager(path, moveToTrash);
    // Where the user's rights do not reach, only the privileged step may act: a
    // refused, cancelled or redirected step keeps the item.
    std::string failure;
    if (HelperObjc::AuthorizedRemove(path, moveToTrash, &failure))
        return std::nullopt;
    std::cout << "\"" << path << "\" was not removed: " << failure << std::endl;
    return failure;
}
