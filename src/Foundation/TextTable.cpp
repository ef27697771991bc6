#include "Foundation/TextTable.h"

#include "Foundation/PresentationSlots.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Values/PropertyList.h"

std::optional<platform::Dictionary> readBundlePlist(const std::string& named)
{
    const auto path = platform::Bundle::main().pathForResource(named, "plist");
    if (!path || path->empty())
        return std::nullopt;
    auto root = platform::readPropertyListFile(*path);
    if (!root || !root->asDictionary())
        return std::nullopt;
    return std::move(*root->asDictionary());
}

std::optional<std::string> localizedString(const std::string& key)
{
    const auto& table = languageTable();
    if (!table)
        return std::nullopt;
    const auto entry = table->find(key);
    if (entry == table->end() || !entry->second.asText())
        return std::nullopt;
    return *entry->second.asText();
}

std::string localizedText(const std::string& key)
{
    return localizedString(key).value_or(std::string());
}

QString screenText(const std::string& key)
{
    return QString::fromStdString(localizedText(key));
}
