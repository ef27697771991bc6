#include "Helper/LDLaunchCtl/LDLaunchJobKeys.h"

#include <algorithm>

LDKeyTraits<LDKeyKind::Text>::Type LDKeyTraits<LDKeyKind::Text>::from(const platform::Value& value)
{
    return value.asText() ? Type(*value.asText()) : std::nullopt;
}

platform::Value LDKeyTraits<LDKeyKind::Text>::to(const Type& value)
{
    return value ? platform::Value(*value) : platform::Value();
}

LDKeyTraits<LDKeyKind::Strings>::Type LDKeyTraits<LDKeyKind::Strings>::from(const platform::Value& value)
{
    if (!value.asArray())
        return std::nullopt;
    std::vector<std::string> strings;
    for (const auto& element : *value.asArray())
        if (element.asText())
            strings.push_back(*element.asText());
    return strings;
}

platform::Value LDKeyTraits<LDKeyKind::Strings>::to(const Type& value)
{
    if (!value)
        return {};
    return platform::Array(value->begin(), value->end());
}

LDKeyTraits<LDKeyKind::Array>::Type LDKeyTraits<LDKeyKind::Array>::from(const platform::Value& value)
{
    return value.asArray() ? Type(*value.asArray()) : std::nullopt;
}

platform::Value LDKeyTraits<LDKeyKind::Array>::to(const Type& value)
{
    return value ? platform::Value(*value) : platform::Value();
}

LDKeyTraits<LDKeyKind::Dictionary>::Type LDKeyTraits<LDKeyKind::Dictionary>::from(const platform::Value& value)
{
    return value.asDictionary() ? Type(*value.asDictionary()) : std::nullopt;
}

platform::Value LDKeyTraits<LDKeyKind::Dictionary>::to(const Type& value)
{
    return value ? platform::Value(*value) : platform::Value();
}

const std::vector<LDLaunchJobKey>& LDLaunchJobKeys()
{
#define LD_KEY_ENTRY(name, kind) LDLaunchJobKey{#name, LDKeyKind::kind},
    static const std::vector<LDLaunchJobKey> keys{LD_LAUNCH_JOB_KEYS(LD_KEY_ENTRY)};
#undef LD_KEY_ENTRY
    return keys;
}

const LDLaunchJobKey* LDLaunchJobKeyNamed(std::string_view name)
{
    const auto& keys = LDLaunchJobKeys();
    const auto found = std::ranges::find(keys, name, &LDLaunchJobKey::name);
    return found == keys.end() ? nullptr : &*found;
}
