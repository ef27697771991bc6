#include "Controls/PropertyListDictionary.h"

#include "Platform/Values/PropertyList.h"

#include <QUrl>

std::optional<platform::Dictionary> dictionaryWithContentsOfFile(const std::string& path)
{
    auto value = platform::readPropertyListFile(path);
    if (!value || value->asDictionary() == nullptr)
        return std::nullopt;
    return std::move(*value->asDictionary());
}

std::optional<platform::Dictionary> dictionaryWithContentsOfURL(const QUrl& url)
{
    if (!url.isLocalFile())
        return std::nullopt;
    return dictionaryWithContentsOfFile(url.toLocalFile().toStdString());
}
