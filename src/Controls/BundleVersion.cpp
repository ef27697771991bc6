#include "Controls/BundleVersion.h"

std::optional<std::string> infoValue(const platform::Bundle& bundle, const std::string& key)
{
    const platform::Value* value = bundle.objectForInfoDictionaryKey(key);
    if (value == nullptr || value->asText() == nullptr)
        return std::nullopt;
    return *value->asText();
}

std::optional<std::string> appVersion(const platform::Bundle& bundle)
{
    return infoValue(bundle, "CFBundleShortVersionString");
}

std::optional<std::string> buildNumber(const platform::Bundle& bundle)
{
    return infoValue(bundle, "CFBundleVersion");
}
