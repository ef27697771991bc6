#include "Platform/Values/PropertyList.h"

#include "TestRoot.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace platform;
using namespace std::chrono;

// 2001-01-01T00:00:00Z, the reference of plist dates.
const Date referenceDate = Date(seconds(978307200));

Data bytesOf(const std::string& text) { return Data(text.begin(), text.end()); }

struct Case {
    const char* name;
    Value value;
};

const std::vector<Case>& everyKind()
{
    static const std::vector<Case> cases = {
        {"true", Value(true)},
        {"false", Value(false)},
        {"zero", Value(0)},
        {"negative", Value(-5)},
        {"large", Value(9007199254740993LL)},
        {"smallest", Value(static_cast<long long>(INT64_MIN))},
        {"real", Value(3.25)},
        {"fraction", Value(0.1)},
        {"negativeReal", Value(-1e-300)},
        {"text", Value("Bastion")},
        {"emptyText", Value("")},
        {"unicodeText", Value("Grüße / 日本 <&>")},
        {"date", Value(referenceDate + hours(24 * 365 * 20) + seconds(7))},
        {"dateBefore2001", Value(referenceDate - seconds(86400 * 400))},
        {"data", Value(Data{0, 1, 2, 0xff, 0x80})},
        {"emptyData", Value(Data{})},
        {"array", Value(Array{Value(1), Value("two"), Value(Array{Value(false)})})},
        {"emptyArray", Value(Array{})},
        {"dictionary", Value(Dictionary{{"a", Value(1)}, {"nested", Value(Dictionary{{"b", Value(2.5)}})}})},
        {"emptyDictionary", Value(Dictionary{})},
    };
    return cases;
}

TEST(PropertyList, EveryKindRoundTripsInBothFormats)
{
    for (const auto format : {PropertyListFormat::Xml, PropertyListFormat::Binary}) {
        for (const auto& [name, value] : everyKind()) {
            SCOPED_TRACE(std::string(name) + (format == PropertyListFormat::Xml ? " xml" : " binary"));
            const auto bytes = serializePropertyList(value, format);
            ASSERT_TRUE(bytes);
            EXPECT_EQ(parsePropertyList(*bytes), value);
        }
    }
}

TEST(PropertyList, FormatIsDetectedFromTheBytes)
{
    const Value value(Dictionary{{"key", Value("value")}});
    const auto xml = serializePropertyList(value, PropertyListFormat::Xml);
    const auto binary = serializePropertyList(value, PropertyListFormat::Binary);
    ASSERT_TRUE(xml && binary);
    EXPECT_EQ(std::string(xml->begin(), xml->begin() + 5), "<?xml");
    EXPECT_EQ(std::string(binary->begin(), binary->begin() + 8), "bplist00");
}

TEST(PropertyList, BinaryDatesKeepSubSeconds)
{
    const Value value(referenceDate + milliseconds(1500));
    const auto bytes = serializePropertyList(value, PropertyListFormat::Binary);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(parsePropertyList(*bytes), value);
}

TEST(PropertyList, DatesCountFromTheReferenceOf2001)
{
    const std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<plist version=\"1.0\"><dict>"
        "<key>reference</key><date>2001-01-01T00:00:00Z</date>"
        "<key>later</key><date>2021-06-15T12:30:45Z</date>"
        "</dict></plist>";
    const auto value = parsePropertyList(bytesOf(xml));
    ASSERT_TRUE(value);
    ASSERT_TRUE(value->find("reference") && value->find("later"));
    EXPECT_EQ(*value->find("reference")->asDate(), referenceDate);
    // 2021-06-15T12:30:45Z is 1623760245 seconds after 1970.
    EXPECT_EQ(*value->find("later")->asDate(), Date(seconds(1623760245)));

    const auto written = serializePropertyList(Value(Date(seconds(1623760245))), PropertyListFormat::Xml);
    ASSERT_TRUE(written);
    EXPECT_NE(std::string(written->begin(), written->end()).find("<date>2021-06-15T12:30:45Z</date>"),
              std::string::npos);
}

TEST(PropertyList, NullCannotBeSerialised)
{
    for (const auto& value : {Value(), Value(Array{Value(1), Value()}),
                              Value(Dictionary{{"deep", Value(Dictionary{{"none", Value()}})}})}) {
        EXPECT_FALSE(serializePropertyList(value, PropertyListFormat::Xml));
        EXPECT_FALSE(serializePropertyList(value, PropertyListFormat::Binary));
    }
}

TEST(PropertyList, GarbageBytesGiveNull)
{
    for (const auto& garbage : {std::string(), std::string("hello"), std::string("<plist><integer>1"),
                                      std::string("bplist00garbage"), std::string("\0\1\2\3", 4)}) {
        SCOPED_TRACE(garbage);
        EXPECT_FALSE(parsePropertyList(bytesOf(garbage)));
    }
}

// `levels` arrays, each holding the next; the innermost is empty.
std::string nestedXml(std::size_t levels)
{
    std::string xml = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
    for (std::size_t i = 0; i < levels; ++i)
        xml += "<array>";
    for (std::size_t i = 0; i < levels; ++i)
        xml += "</array>";
    return xml + "</plist>";
}

void appendBigEndian(Data& bytes, std::uint64_t value, std::size_t size)
{
    for (std::size_t i = size; i-- > 0;)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A binary list of one-element arrays: object i holds the object `next(i)`; the last is empty.
Data chainedBinary(std::size_t objects, const std::function<std::size_t(std::size_t)>& next)
{
    Data bytes = bytesOf("bplist00");
    std::vector<std::uint64_t> offsets;
    for (std::size_t i = 0; i < objects; ++i) {
        offsets.push_back(bytes.size());
        if (i + 1 == objects) {
            bytes.push_back(0xA0);
        } else {
            bytes.push_back(0xA1);
            appendBigEndian(bytes, next(i), 4);
        }
    }
    const std::uint64_t offsetTable = bytes.size();
    for (const auto offset : offsets)
        appendBigEndian(bytes, offset, 4);
    bytes.insert(bytes.end(), 6, 0);
    bytes.push_back(4); // offset size
    bytes.push_back(4); // reference size
    appendBigEndian(bytes, objects, 8);
    appendBigEndian(bytes, 0, 8);
    appendBigEndian(bytes, offsetTable, 8);
    return bytes;
}

Data nestedBinary(std::size_t levels)
{
    return chainedBinary(levels, [](std::size_t i) { return i + 1; });
}

TEST(PropertyList, NestingDeeperThanTheBoundIsRefusedInBothFormats)
{
    const std::size_t bound = maximumPropertyListNesting;
    for (const std::size_t levels : {std::size_t{2}, bound, bound + 1, std::size_t{30000}, std::size_t{200000}}) {
        SCOPED_TRACE(levels);
        const auto fromXml = parsePropertyList(bytesOf(nestedXml(levels)));
        const auto fromBinary = parsePropertyList(nestedBinary(levels));
        EXPECT_EQ(fromXml.has_value(), levels <= bound);
        EXPECT_EQ(fromBinary.has_value(), levels <= bound);
        EXPECT_EQ(fromXml, fromBinary);
    }
}

TEST(PropertyList, ABinaryListThatHoldsItselfIsRefused)
{
    EXPECT_FALSE(parsePropertyList(chainedBinary(3, [](std::size_t) { return 0; })));
}

class PropertyListFileTest : public testsupport::PlatformRootTest {};

TEST_F(PropertyListFileTest, WritesAndReadsAFile)
{
    const std::string path = (testsupport::homeFolder() / "Library/Preferences/x.plist").string();
    const Value value(Dictionary{{"when", Value(referenceDate)}, {"count", Value(3)}});
    for (const auto format : {PropertyListFormat::Xml, PropertyListFormat::Binary}) {
        ASSERT_TRUE(writePropertyListFile(path, value, format));
        EXPECT_EQ(readPropertyListFile(path), value);
    }
    EXPECT_FALSE(writePropertyListFile(path, Value()));
    EXPECT_EQ(readPropertyListFile(path), value);
    EXPECT_FALSE(readPropertyListFile(path + ".missing"));
}

} // namespace
