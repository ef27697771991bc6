#include "Detection/Clean.h"

#include "Foundation/HelperObjc.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/FileManager/FileManager.h"
#include "Platform/Workspace/Workspace.h"

#include <QString>

#include <array>
#include <chrono>
#include <iostream>
#include <thread>

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

void forceQuitRunningCopies(const platform::Bundle& bundle)
{
    const auto identifier = bundle.bundleIdentifier();
    if (!identifier)
        return;
    const std::string wanted = lowercased(*identifier);
    const auto running = platform::Workspace::shared().runningApplications();
    for (const auto policy : quitOrder) {
        for (const auto& application : running) {
            if (application.activationPolicy == policy && application.bundleIdentifier &&
                lowercased(*application.bundleIdentifier) == wanted) {
                application.forceTerminate();
                break;
            }
        }
    }
}

void removeWithFileManager(const std::string& path, bool moveToTrash)
{
    const auto& files = platform::FileManager::defaultManager();
    platform::FileError error;
    const bool removed = moveToTrash ? files.trashItem(path, nullptr, &error) : files.removeItem(path, &error);
    if (!removed)
        std::cout << error.description << std::endl;
}

} // namespace

void removeCleanItem(const std::string& path, bool moveToTrash)
{
    if (!path.ends_with(".app")) {
        removeWithFileManager(path, moveToTrash);
        return;
    }
    forceQuitRunningCopies(platform::Bundle(path));
    std::this_thread::sleep_for(bundlePacing);
    if (platform::FileManager::defaultManager().isWritableFile(path) || !HelperObjc::AuthorizedRemove(path, moveToTrash))
        removeWithFileManager(path, moveToTrash);
}
