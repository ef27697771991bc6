#include "Platform/Workspace/ApplicationRegister.h"

#include "Platform/Bundle/Bundle.h"
#include "Platform/Root/PlatformRoot.h"
#include "Platform/Values/PropertyList.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace platform {

namespace {

std::string registerPath()
{
    return homeDirectory() + "/Library/Preferences/com.apple.LaunchServices/RegisteredApplications.plist";
}

// The bundle identifier of an ".app" folder at an absolute path.
std::optional<std::string> applicationIdentifier(const std::string& path)
{
    std::error_code error;
    const fs::path bundle(path);
    if (!bundle.is_absolute() || bundle.extension() != ".app" || !fs::is_directory(bundle, error))
        return std::nullopt;
    auto identifier = Bundle(path).bundleIdentifier();
    return identifier && !identifier->empty() ? identifier : std::nullopt;
}

Dictionary registeredEntries()
{
    const auto list = readPropertyListFile(registerPath());
    return list && list->asDictionary() ? *list->asDictionary() : Dictionary{};
}

} // namespace

bool registerApplication(const std::string& bundlePath)
{
    const auto identifier = applicationIdentifier(bundlePath);
    if (!identifier)
        return false;
    Dictionary entries = registeredEntries();
    const Value* recorded = entries.count(*identifier) ? &entries.at(*identifier) : nullptr;
    if (recorded && recorded->asText() && *recorded->asText() == bundlePath)
        return true;
    entries[*identifier] = bundlePath;
    std::error_code ignored;
    fs::create_directories(fs::path(registerPath()).parent_path(), ignored);
    return writePropertyListFile(registerPath(), entries);
}

std::optional<std::string> registeredApplication(const std::string& bundleIdentifier)
{
    const Dictionary entries = registeredEntries();
    const auto found = entries.find(bundleIdentifier);
    if (found == entries.end() || !found->second.asText())
        return std::nullopt;
    const std::string& path = *found->second.asText();
    return applicationIdentifier(path) == bundleIdentifier ? std::optional<std::string>(path) : std::nullopt;
}

} // namespace platform
