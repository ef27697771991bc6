#include "Platform/Bundle/Bundle.h"
#include "Platform/Root/PathText.h"

#include "Platform/Values/PropertyList.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace platform {

namespace {

Dictionary readInfoDictionary(const std::string& bundlePath)
{
    auto info = readPropertyListFile(bundlePath + "/Contents/Info.plist");
    if (!info || !info->asDictionary())
        return {};
    return std::move(*info->asDictionary());
}

} // namespace

Bundle::Bundle(std::string bundlePath)
    : bundlePath_(withoutTrailingSlashes(std::move(bundlePath))), info_(readInfoDictionary(bundlePath_))
{
}

std::string Bundle::resourcePath() const
{
    return bundlePath_ + "/Contents/Resources";
}

std::string Bundle::executablePath() const
{
    const Value* name = objectForInfoDictionaryKey("CFBundleExecutable");
    if (!name || !name->asText() || name->asText()->empty())
        return {};
    return bundlePath_ + "/Contents/MacOS/" + *name->asText();
}

std::optional<std::string> Bundle::bundleIdentifier() const
{
    const Value* identifier = objectForInfoDictionaryKey("CFBundleIdentifier");
    if (!identifier || !identifier->asText())
        return std::nullopt;
    return *identifier->asText();
}

const Value* Bundle::objectForInfoDictionaryKey(const std::string& key) const
{
    auto it = info_.find(key);
    return it == info_.end() ? nullptr : &it->second;
}

std::optional<std::string> Bundle::pathForResource(const std::string& name, const std::string& type) const
{
    if (name.empty())
        return std::nullopt;
    const auto path = resourcePath() + "/" + (type.empty() ? name : name + "." + type);
    std::error_code error;
    if (!fs::exists(path, error))
        return std::nullopt;
    return path;
}

} // namespace platform
