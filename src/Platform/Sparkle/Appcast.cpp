#include "Platform/Sparkle/Appcast.h"

#include <QXmlStreamReader>

#include <cctype>

namespace platform {

namespace {

// Splits a version into runs of digits and runs of other characters, dots dropped.
std::vector<std::string> versionPieces(const std::string& version)
{
    std::vector<std::string> pieces;
    for (std::size_t i = 0; i < version.size();) {
        if (version[i] == '.') {
            ++i;
            continue;
        }
        const bool digits = std::isdigit(static_cast<unsigned char>(version[i]));
        std::size_t end = i;
        while (end < version.size() && version[end] != '.'
               && static_cast<bool>(std::isdigit(static_cast<unsigned char>(version[end]))) == digits)
            ++end;
        pieces.push_back(version.substr(i, end - i));
        i = end;
    }
    return pieces;
}

bool isNumber(const std::string& piece)
{
    return !piece.empty() && std::isdigit(static_cast<unsigned char>(piece.front()));
}

int comparePieces(const std::string& a, const std::string& b)
{
    if (isNumber(a) && isNumber(b)) {
        const auto strip = [](const std::string& s) { return s.substr(std::min(s.find_first_not_of('0'), s.size())); };
        const std::string x = strip(a), y = strip(b);
        if (x.size() != y.size())
            return x.size() < y.size() ? -1 : 1;
        return x.compare(y);
    }
    if (isNumber(a) != isNumber(b))
        return isNumber(a) ? 1 : -1; // 1.0 is newer than 1.0b
    return a.compare(b);
}

QString attribute(const QXmlStreamReader& reader, const char* name)
{
    for (const auto& attribute : reader.attributes())
        if (attribute.qualifiedName() == QLatin1String(name))
            return attribute.value().toString();
    return {};
}

} // namespace

int compareVersions(const std::string& a, const std::string& b)
{
    const auto left = versionPieces(a), right = versionPieces(b);
    for (std::size_t i = 0; i < std::max(left.size(), right.size()); ++i) {
        if (i >= left.size())
            return isNumber(right[i]) ? -1 : 1;
        if (i >= right.size())
            return isNumber(left[i]) ? 1 : -1;
        if (const int order = comparePieces(left[i], right[i]); order != 0)
            return order < 0 ? -1 : 1;
    }
    return 0;
}

std::optional<SUAppcastItem> newestAppcastItem(const std::string& feedText)
{
    QXmlStreamReader reader(QByteArray::fromStdString(feedText));
    std::optional<SUAppcastItem> newest;
    SUAppcastItem item;
    const auto finishItem = [&] {
        if (!item.fileURL.empty() && !item.versionString.empty()
            && (!newest || compareVersions(item.versionString, newest->versionString) > 0)) {
            if (item.displayVersionString.empty())
                item.displayVersionString = item.versionString;
            newest = item;
        }
    };
    while (!reader.atEnd()) {
        reader.readNext();
        const QString name = reader.qualifiedName().toString();
        if (reader.isStartElement() && name == "item") {
            item = {};
        } else if (reader.isEndElement() && name == "item") {
            finishItem();
        } else if (reader.isStartElement() && name == "title") {
            item.title = reader.readElementText().trimmed().toStdString();
        } else if (reader.isStartElement() && name == "sparkle:version") {
            item.versionString = reader.readElementText().trimmed().toStdString();
        } else if (reader.isStartElement() && name == "sparkle:shortVersionString") {
            item.displayVersionString = reader.readElementText().trimmed().toStdString();
        } else if (reader.isStartElement() && name == "enclosure") {
            item.fileURL = attribute(reader, "url").toStdString();
            if (const auto version = attribute(reader, "sparkle:version"); !version.isEmpty())
                item.versionString = version.toStdString();
            if (const auto shortVersion = attribute(reader, "sparkle:shortVersionString"); !shortVersion.isEmpty())
                item.displayVersionString = shortVersion.toStdString();
        }
    }
    if (reader.hasError())
        return std::nullopt;
    return newest;
}

bool isAppcast(const std::string& feedText)
{
    QXmlStreamReader reader(QByteArray::fromStdString(feedText));
    bool rootIsRss = false;
    bool rootSeen = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && !rootSeen) {
            rootSeen = true;
            rootIsRss = reader.qualifiedName() == QLatin1String("rss");
        }
    }
    return rootIsRss && !reader.hasError();
}

} // namespace platform
