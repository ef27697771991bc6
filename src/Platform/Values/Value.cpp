#include "Platform/Values/Value.h"

namespace platform {

std::optional<double> Value::numberAsDouble() const
{
    if (auto i = asInteger())
        return static_cast<double>(*i);
    if (auto d = asReal())
        return *d;
    return std::nullopt;
}

const Value* Value::find(const std::string& key) const
{
    auto dictionary = asDictionary();
    if (!dictionary)
        return nullptr;
    auto it = dictionary->find(key);
    return it == dictionary->end() ? nullptr : &it->second;
}

} // namespace platform
