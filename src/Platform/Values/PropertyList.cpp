#include "Platform/Values/PropertyList.h"

#include "Platform/Files/AtomicFile.h"
#include "Platform/Files/FileRead.h"
#include "Platform/Values/PlistNesting.h"

#include <plist/plist.h>

#include <cstdlib>
#include <limits>
#include <memory>
#include <string>

namespace platform {

namespace {

using namespace std::chrono;

struct PlistFree {
    void operator()(plist_t node) const { plist_free(node); }
};
using Node = std::unique_ptr<void, PlistFree>;

// Plist dates count seconds from 2001-01-01 00:00:00 UTC.
constexpr seconds referenceDateOffset{978307200};

Date dateFromNode(plist_t node)
{
    int32_t sec = 0;
    int32_t usec = 0;
    plist_get_date_val(node, &sec, &usec);
    const auto sinceReference = microseconds(std::int64_t{sec} * 1000000 + usec);
    return Date(duration_cast<Date::duration>(referenceDateOffset + sinceReference));
}

plist_t nodeFromDate(const Date& date)
{
    const auto sinceReference = floor<microseconds>(date.time_since_epoch()) - referenceDateOffset;
    const auto sec = floor<seconds>(sinceReference);
    return plist_new_date(static_cast<int32_t>(sec.count()),
                          static_cast<int32_t>((sinceReference - sec).count()));
}

std::string takeText(char* text)
{
    std::string result = text ? text : "";
    std::free(text);
    return result;
}

std::optional<Value> valueFromNode(plist_t node, std::size_t depth);

// Walked with an iterator: a parsed array's items by index cost a walk from its start each.
std::optional<Value> arrayFromNode(plist_t node, std::size_t depth)
{
    Array array;
    const uint32_t size = plist_array_get_size(node);
    array.reserve(size);
    plist_array_iter iter = nullptr;
    plist_array_new_iter(node, &iter);
    const std::unique_ptr<void, decltype(&std::free)> ownedIter(iter, &std::free);
    for (uint32_t i = 0; i < size; ++i) {
        plist_t item = nullptr;
        plist_array_next_item(node, iter, &item);
        auto value = valueFromNode(item, depth + 1);
        if (!value)
            return std::nullopt;
        array.push_back(std::move(*value));
    }
    return Value(std::move(array));
}

std::optional<Value> dictionaryFromNode(plist_t node, std::size_t depth)
{
    Dictionary dictionary;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(node, &iter);
    for (;;) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(node, iter, &key, &item);
        if (!item) {
            std::free(key);
            break;
        }
        const std::string name = takeText(key);
        auto value = valueFromNode(item, depth + 1);
        if (!value) {
            std::free(iter);
            return std::nullopt;
        }
        dictionary.insert_or_assign(name, std::move(*value));
    }
    std::free(iter);
    return Value(std::move(dictionary));
}

// `depth` counts the levels from the top value, which is at 1.
std::optional<Value> valueFromNode(plist_t node, std::size_t depth)
{
    if (depth > maximumPropertyListNesting)
        return std::nullopt;
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t b = 0;
        plist_get_bool_val(node, &b);
        return Value(b != 0);
    }
    case PLIST_UINT: {
        uint64_t i = 0;
        plist_get_uint_val(node, &i);
        return Value(static_cast<long long>(i));
    }
    case PLIST_UID: {
        uint64_t i = 0;
        plist_get_uid_val(node, &i);
        return Value(static_cast<long long>(i));
    }
    case PLIST_REAL: {
        double d = 0;
        plist_get_real_val(node, &d);
        return Value(d);
    }
    case PLIST_STRING: {
        char* s = nullptr;
        plist_get_string_val(node, &s);
        return Value(takeText(s));
    }
    case PLIST_DATE:
        return Value(dateFromNode(node));
    case PLIST_DATA: {
        char* bytes = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &bytes, &length);
        Data data(bytes, bytes + length);
        std::free(bytes);
        return Value(std::move(data));
    }
    case PLIST_ARRAY:
        return arrayFromNode(node, depth);
    case PLIST_DICT:
        return dictionaryFromNode(node, depth);
    default:
        return std::nullopt;
    }
}

Node nodeFromValue(const Value& value);

Node nodeFromArray(const Array& array)
{
    Node node(plist_new_array());
    for (const auto& item : array) {
        Node child = nodeFromValue(item);
        if (!child)
            return nullptr;
        plist_array_append_item(node.get(), child.release());
    }
    return node;
}

Node nodeFromDictionary(const Dictionary& dictionary)
{
    Node node(plist_new_dict());
    for (const auto& [key, item] : dictionary) {
        Node child = nodeFromValue(item);
        if (!child)
            return nullptr;
        plist_dict_set_item(node.get(), key.c_str(), child.release());
    }
    return node;
}

Node nodeFromValue(const Value& value)
{
    switch (value.kind()) {
    case Value::Kind::Null:
        return nullptr;
    case Value::Kind::Boolean:
        return Node(plist_new_bool(*value.asBoolean()));
    case Value::Kind::Integer:
        // libplist keeps integers as 64-bit patterns and writes them signed.
        return Node(plist_new_uint(static_cast<uint64_t>(*value.asInteger())));
    case Value::Kind::Real:
        return Node(plist_new_real(*value.asReal()));
    case Value::Kind::Text:
        return Node(plist_new_string(value.asText()->c_str()));
    case Value::Kind::Date:
        return Node(nodeFromDate(*value.asDate()));
    case Value::Kind::Data: {
        const Data& data = *value.asData();
        return Node(plist_new_data(reinterpret_cast<const char*>(data.data()), data.size()));
    }
    case Value::Kind::Array:
        return nodeFromArray(*value.asArray());
    case Value::Kind::Dictionary:
        return nodeFromDictionary(*value.asDictionary());
    }
    return nullptr;
}

// The parser and the release of its tree recurse once per level, and a binary list
// is copied out value by value: a list past a bound is refused before it is parsed.
PlistFitting fitWithinBounds(const Data& bytes)
{
    if (bytes.empty() || bytes.size() > std::numeric_limits<uint32_t>::max())
        return {};
    return propertyListFit(bytes,
                           {maximumPropertyListNesting, maximumPropertyListValues, maximumPropertyListContentBytes});
}

// A list found within the bounds: an XML list's body as written anew, else its bytes.
std::optional<Value> parseFitting(const Data& bytes, const PlistFitting& fitting)
{
    const bool xml = !fitting.xmlBody.empty();
    const char* text = xml ? fitting.xmlBody.data() : reinterpret_cast<const char*>(bytes.data());
    const std::size_t size = xml ? fitting.xmlBody.size() : bytes.size();
    if (size > std::numeric_limits<uint32_t>::max())
        return std::nullopt;
    plist_t root = nullptr;
    plist_from_memory(text, static_cast<uint32_t>(size), &root);
    if (!root)
        return std::nullopt;
    Node owner(root);
    return valueFromNode(root, 1);
}

// The end of the line that tells why a list is refused; empty for one within the bounds.
std::string refusalOf(PlistFit fit)
{
    switch (fit) {
    case PlistFit::Unreadable:
        return "is not a property list that can be read";
    case PlistFit::TooDeep:
        return "nests deeper than " + std::to_string(maximumPropertyListNesting) + " levels";
    case PlistFit::TooManyValues:
        return "holds more than " + std::to_string(maximumPropertyListValues) + " values once read";
    case PlistFit::TooManyBytes:
        return "holds more than " + std::to_string(maximumPropertyListContentBytes) +
               " bytes of text and data once read";
    case PlistFit::Within:
        break;
    }
    return {};
}

} // namespace

std::optional<Value> parsePropertyList(const Data& bytes)
{
    const PlistFitting fitting = fitWithinBounds(bytes);
    if (fitting.fit != PlistFit::Within)
        return std::nullopt;
    return parseFitting(bytes, fitting);
}

std::optional<Value> readPropertyListFile(const std::string& path)
{
    Data bytes;
    if (!readWholeFile(path, bytes, maximumPropertyListSize))
        return std::nullopt;
    const PlistFitting fitting = fitWithinBounds(bytes);
    PlistFit fit = fitting.fit;
    if (fit == PlistFit::Within) {
        if (auto value = parseFitting(bytes, fitting))
            return value;
        fit = PlistFit::Unreadable;
    }
    reportSkippedFile(path, refusalOf(fit));
    return std::nullopt;
}

std::optional<Data> serializePropertyList(const Value& value, PropertyListFormat format)
{
    Node node = nodeFromValue(value);
    if (!node)
        return std::nullopt;
    char* bytes = nullptr;
    uint32_t length = 0;
    const bool xml = format == PropertyListFormat::Xml;
    (xml ? plist_to_xml : plist_to_bin)(node.get(), &bytes, &length);
    if (!bytes)
        return std::nullopt;
    Data data(bytes, bytes + length);
    (xml ? plist_to_xml_free : plist_to_bin_free)(bytes);
    return data;
}

bool writePropertyListFile(const std::string& path, const Value& value, PropertyListFormat format)
{
    auto bytes = serializePropertyList(value, format);
    return bytes && writeFileAtomically(path, *bytes);
}

} // namespace platform
