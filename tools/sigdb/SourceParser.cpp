#include "SourceParser.h"

#include "Detection/TextValues.h"

#include <functional>
#include <map>
#include <sstream>
#include <vector>

namespace sigdb {
namespace {

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> splitFields(const std::string& text)
{
    std::vector<std::string> fields;
    std::stringstream stream(text);
    for (std::string field; std::getline(stream, field, '|');)
        fields.push_back(trimmed(field));
    if (!text.empty() && text.back() == '|')
        fields.emplace_back();
    return fields;
}

std::int64_t idField(const std::string& text)
{
    const auto id = parseInteger(text);
    if (!id)
        throw std::invalid_argument("\"" + text + "\" is not an id");
    return *id;
}

using Fields = std::vector<std::string>;

SourceApp& currentApp(SignatureSource& source)
{
    if (source.apps.empty())
        throw std::invalid_argument("a path, hash or publisher before any app");
    return source.apps.back();
}

struct Entry {
    std::size_t fieldCount;
    std::function<void(SignatureSource&, const Fields&)> add;
};

const std::map<std::string, Entry>& entries()
{
    static const std::map<std::string, Entry> table = {
        {"version", {1, [](SignatureSource& s, const Fields& f) { s.versions.push_back(f[0]); }}},
        {"folder", {2, [](SignatureSource& s, const Fields& f) { s.folders.push_back({idField(f[0]), f[1]}); }}},
        {"app", {4, [](SignatureSource& s, const Fields& f) {
             s.apps.push_back({idField(f[0]), f[1], f[2], f[3], {}, {}, {}});
         }}},
        {"path", {2, [](SignatureSource& s, const Fields& f) {
             currentApp(s).paths.push_back({idField(f[0]), f[1]});
         }}},
        {"hash", {4, [](SignatureSource& s, const Fields& f) {
             currentApp(s).hashes.push_back({f[0], f[1], f[2], f[3]});
         }}},
        {"publisher", {3, [](SignatureSource& s, const Fields& f) {
             currentApp(s).publishers.push_back({f[0], f[1], f[2]});
         }}},
    };
    return table;
}

void parseLine(SignatureSource& source, const std::string& line)
{
    const auto colon = line.find(':');
    if (colon == std::string::npos)
        throw std::invalid_argument("no \"keyword:\"");
    const auto keyword = trimmed(line.substr(0, colon));
    const auto entry = entries().find(keyword);
    if (entry == entries().end())
        throw std::invalid_argument("unknown keyword \"" + keyword + "\"");
    const auto fields = splitFields(line.substr(colon + 1));
    if (fields.size() != entry->second.fieldCount)
        throw std::invalid_argument(keyword + " takes " + std::to_string(entry->second.fieldCount) + " fields");
    entry->second.add(source, fields);
}

} // namespace

std::optional<SignatureSource> parseSource(const std::string& text, std::string& error)
{
    SignatureSource source;
    std::stringstream stream(text);
    int number = 0;
    for (std::string line; std::getline(stream, line);) {
        ++number;
        const auto content = trimmed(line);
        if (content.empty() || content.front() == '#')
            continue;
        try {
            parseLine(source, content);
        } catch (const std::invalid_argument& fault) {
            error = "line " + std::to_string(number) + ": " + fault.what();
            return std::nullopt;
        }
    }
    return source;
}

} // namespace sigdb
