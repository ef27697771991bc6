#include "Agent/ProtectionSettings.h"

#include "Foundation/Settings.h"

#include <algorithm>

bool pathListContains(const char* listKey, const std::string& path)
{
    const auto value = readSetting(listKey);
    if (!value)
        return false;
    const auto& list = *value->asArray();
    return std::any_of(list.begin(), list.end(), [&](const platform::Value& entry) { return *entry.asText() == path; });
}
