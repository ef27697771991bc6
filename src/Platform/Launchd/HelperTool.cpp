#include "Platform/Launchd/HelperTool.h"

#include "Platform/Values/PropertyList.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace platform {

namespace {

std::optional<Dictionary> dictionaryAt(const fs::path& path)
{
    auto value = readPropertyListFile(path.string());
    if (!value || !value->asDictionary())
        return std::nullopt;
    return std::move(*value->asDictionary());
}

} // namespace

std::optional<Dictionary> infoDictionaryOfExecutable(const std::string& executablePath)
{
    const fs::path executable(executablePath);
    const fs::path macOS = executable.parent_path();
    if (macOS.filename() == "MacOS" && macOS.parent_path().filename() == "Contents")
        if (auto info = dictionaryAt(macOS.parent_path() / "Info.plist"))
            return info;
    return dictionaryAt(executablePath + "-Info.plist");
}

std::optional<Dictionary> launchdDictionaryOfHelperTool(const std::string& toolPath)
{
    return dictionaryAt(toolPath + "-Launchd.plist");
}

} // namespace platform
