#include "Platform/Values/PropertyList.h"

#include "BinaryPlists.h"
#include "DeceptiveXmlPlists.h"
#include "TestRoot.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
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

// A binary list of one-element arrays: object i holds the object `next(i)`; the last is empty.
Data chainedBinary(std::size_t objects, const std::function<std::size_t(std::size_t)>& next)
{
    std::vector<Data> arrays;
    for (std::size_t i = 0; i + 1 < objects; ++i) {
        Data array{0xA1};
        testsupport::appendBigEndian(array, next(i), 4);
        arrays.push_back(array);
    }
    arrays.push_back({0xA0});
    return testsupport::binaryPlist(arrays, 4);
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

// Each array refers to the next twice, so `levels` arrays read as 2^levels - 1
// values; refused from the bytes at once, however far they would expand.
TEST(PropertyList, ABinaryListThatExpandsPastTheBoundIsRefused)
{
    ASSERT_EQ(maximumPropertyListValues, (std::uint64_t{1} << 18));
    const auto parsed = parsePropertyList(testsupport::doublingBinaryPlist(18)); // 262,143 values
    ASSERT_TRUE(parsed);
    const Value* innermost = &*parsed;
    for (int level = 1; level < 18; ++level) {
        ASSERT_TRUE(innermost->asArray() && innermost->asArray()->size() == 2u) << level;
        innermost = &innermost->asArray()->front();
    }
    EXPECT_EQ(*innermost, Value(Array{}));
    for (const std::size_t levels : {std::size_t{19}, std::size_t{30}, std::size_t{64}, std::size_t{400}}) {
        const Data bytes = testsupport::doublingBinaryPlist(levels);
        EXPECT_LT(bytes.size(), 64 + 10 * levels) << "a few bytes a level";
        EXPECT_FALSE(parsePropertyList(bytes)) << levels;
    }
}

// One text or data object referred to from many places is copied for each.
Data binaryArrayOfOneObject(std::uint64_t references, const Data& object)
{
    Data array{0xAF, 0x13}; // an array with its count as an integer object
    testsupport::appendBigEndian(array, references, 8);
    array.insert(array.end(), references, 1);
    return testsupport::binaryPlist({array, object}, 1);
}

// A data (0x4), ASCII (0x5) or UTF-16 (0x6) object of `count` units, its count as an integer object.
Data binaryLeaf(std::uint8_t kind, std::uint64_t count)
{
    Data bytes{static_cast<std::uint8_t>(kind << 4 | 0x0F), 0x13};
    testsupport::appendBigEndian(bytes, count, 8);
    bytes.insert(bytes.end(), count * (kind == 0x6 ? 2 : 1), 'A');
    return bytes;
}

TEST(PropertyList, ABinaryListWhoseTextAndDataExpandPastTheBoundIsRefused)
{
    struct Case {
        const char* name;
        std::uint64_t references;
        Data object;
        bool read;
    };
    const Data integer{0x10, 7};
    const Case cases[] = {
        {"a small text many times", 10'000, binaryLeaf(0x5, 100), true},
        {"one megabyte of data 32 times", 32, binaryLeaf(0x4, 1 << 20), true},
        {"one megabyte of data 33 times", 33, binaryLeaf(0x4, 1 << 20), false},
        {"half a megabyte of UTF-16 text 33 times", 33, binaryLeaf(0x6, 1 << 19), false},
        {"a 64 KB text 4096 times", 4096, binaryLeaf(0x5, 1 << 16), false},
        {"an integer up to the bound", maximumPropertyListValues - 1, integer, true},
        {"an integer past the bound", maximumPropertyListValues, integer, false},
    };
    for (const auto& [name, references, object, read] : cases) {
        const auto parsed = parsePropertyList(binaryArrayOfOneObject(references, object));
        EXPECT_EQ(parsed.has_value(), read) << name;
        if (parsed) {
            EXPECT_EQ(parsed->asArray()->size(), references) << name;
        }
    }
}

// XML refers to nothing: its values are its elements, dictionary keys included.
TEST(PropertyList, AnXmlListWithMoreValuesThanTheBoundIsRefused)
{
    const auto xmlOf = [](std::uint64_t elements, const std::string& element) {
        std::string xml = "<?xml version=\"1.0\"?><plist version=\"1.0\"><array>";
        for (std::uint64_t i = 0; i < elements; ++i)
            xml += element;
        return bytesOf(xml + "</array></plist>");
    };
    const std::uint64_t bound = maximumPropertyListValues;
    EXPECT_TRUE(parsePropertyList(xmlOf(bound - 1, "<true/>")));
    EXPECT_FALSE(parsePropertyList(xmlOf(bound, "<true/>")));
    EXPECT_TRUE(parsePropertyList(xmlOf(bound / 2 - 1, "<dict/><string>x</string>")));
    EXPECT_FALSE(parsePropertyList(xmlOf(bound / 3 + 1, "<dict><key>k</key><true/></dict>")));
}

// Comments, processing instructions, CDATA and quoted attribute values hide no
// tag from the levels counted, and none counted is one the parser skips.
TEST(PropertyList, AnXmlListIsReadAsItsElementsNestWhateverItsTagsHold)
{
    const Value one(Array{Value(true)});
    const struct {
        const char* body;
        Value value;
    } cases[] = {
        {"<array a=\"/>\"><true/></array>", one},
        {"<array a='/>' b = \"x\" ><true/></array >", one},
        {"<array><!-- </array> --><true/></array>", one},
        {"<array><?x </array>?><true/></array>", one},
        {"<array><string><![CDATA[a</array>&<b>]]></string></array>", Value(Array{Value("a</array>&<b>")})},
        {"<array><string>a<!-- <array> -->b&amp;c</string></array>", Value(Array{Value("ab&c")})},
        {"<array><dict a=\"1\"/><array/></array>", Value(Array{Value(Dictionary{}), Value(Array{})})},
    };
    for (const auto& [body, value] : cases) {
        const std::string xml = "<?xml version=\"1.0\"?><plist version=\"1.0\">" + std::string(body) + "</plist>";
        EXPECT_EQ(parsePropertyList(bytesOf(xml)), value) << body;
    }
}

TEST(PropertyList, AnXmlListWhoseElementsDoNotNestOrEndIsRefused)
{
    for (const char* body : {"<array></dict>", "<array><true/>", "<array><!-- <true/></array>",
                             "<array><string><![CDATA[x</string></array>", "<array a=\"><true/></array>",
                             "<array><?x <true/></array>", "<array a><true/></array>", "<array>< true/></array>",
                             "<array><true/></array x=\"1\">"}) {
        const std::string xml = "<?xml version=\"1.0\"?><plist version=\"1.0\">" + std::string(body) + "</plist>";
        EXPECT_FALSE(parsePropertyList(bytesOf(xml))) << body;
    }
}

// The prolog is skipped as lenient loaders skip it; a DOCTYPE that could declare
// entities, or text before the top element, is not.
TEST(PropertyList, AnXmlPrologIsSkippedAsLenientLoadersSkipIt)
{
    const std::string body = "<plist version=\"1.0\"><dict><key>Label</key><string>job</string></dict></plist>";
    const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    const std::string doctype = "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n";
    const struct {
        const char* name;
        std::string prolog;
        bool read;
    } cases[] = {
        {"the usual one", declaration + doctype, true},
        {"none", "", true},
        {"a byte-order mark", "\xEF\xBB\xBF" + declaration + doctype, true},
        {"a DOCTYPE with an unclosed quote",
         declaration + "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN \"http://www.apple.com/DTDs/"
                       "PropertyList-1.0.dtd\">\n",
         true},
        {"comments and an instruction", "\n " + declaration + "<!-- a <plist> -->\n<?x y?>" + doctype + "<!---->",
         true},
        {"an internal subset", declaration + "<!DOCTYPE plist [<!ENTITY a \"b\">]>\n", false},
        {"text", declaration + "text", false},
        {"an unclosed comment", declaration + "<!-- ", false},
    };
    const Value job(Dictionary{{"Label", Value("job")}});
    for (const auto& [name, prolog, read] : cases)
        EXPECT_EQ(parsePropertyList(bytesOf(prolog + body)), read ? std::optional(job) : std::nullopt) << name;
}

// Whether `work` returns true in a child process held to `limit` of `resource`.
bool holdsUnderLimit(int resource, rlim_t limit, const std::function<bool()>& work)
{
    const pid_t child = ::fork();
    if (child == 0) {
        const rlimit lowered{limit, limit};
        ::setrlimit(resource, &lowered);
        try {
            ::_exit(work() ? 0 : 1);
        } catch (...) {
            ::_exit(2); // out of memory
        }
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The trailer's object count is judged before anything is allocated for it: the
// reader runs here under an address-space limit far below what the claims would
// cost (25 bytes an object for 32 million objects).
TEST(PropertyList, ABinaryTrailerClaimingMoreObjectsThanTheBoundIsRefusedInConstantMemory)
{
    const std::size_t size = std::size_t{32} << 20;
    const std::vector<Data> lists{testsupport::lyingTrailerBinaryPlist(size, size - 1),
                                  testsupport::lyingTrailerBinaryPlist(size, size - 41),
                                  testsupport::lyingTrailerBinaryPlist(4096, 5000)};
    std::ifstream statm("/proc/self/statm");
    std::uint64_t pages = 0;
    statm >> pages;
    const rlim_t limit = pages * ::sysconf(_SC_PAGESIZE) + (std::uint64_t{64} << 20);
    EXPECT_TRUE(holdsUnderLimit(RLIMIT_AS, limit, [&lists] {
        return std::ranges::none_of(lists, [](const Data& list) { return parsePropertyList(list).has_value(); });
    }));
}

std::string textOfReferences(const std::string& reference, std::size_t count)
{
    std::string xml = "<plist><dict><key>Label</key><string>";
    xml.reserve(xml.size() + reference.size() * count + 32);
    for (std::size_t i = 0; i < count; ++i)
        xml += reference;
    return xml + "</string></dict></plist>";
}

// Every reference is replaced before the parser reads the text, whatever it
// replaces: markup characters, CDATA's end, text beside CDATA and comments.
TEST(PropertyList, AnXmlListsReferencesAreReplacedAndOnesThatNameNoCharacterRefused)
{
    const struct {
        const char* text;
        std::optional<std::string> read;
    } cases[] = {
        {"&amp;&lt;&gt;&quot;&apos;", "&<>\"'"},
        {"&#65;&#x42;&#X43;&#0067;", std::nullopt},
        {"&#65;&#x42;&#00067;&#x000044;", "ABCD"},
        {"&#xE9;&#x65E5;&#x1F600;", "\u00E9\u65E5\U0001F600"},
        {"]]&gt;<![CDATA[&]]>&lt;<!-- x -->a]]&gt;", "]]>&<a]]>"},
        {"a &amp b", std::nullopt},
        {"a & b", std::nullopt},
        {"&foo;", std::nullopt},
        {"&#0;", std::nullopt},
        {"&#xD800;", std::nullopt},
        {"&#x110000;", std::nullopt},
        {"&#99999999999;", std::nullopt},
        {"&#;", std::nullopt},
        {"&#x;", std::nullopt},
        {"&#-65;", std::nullopt},
    };
    for (const auto& [text, read] : cases) {
        const std::string xml = "<plist><dict><key>k&amp;</key><string>" + std::string(text) + "</string></dict></plist>";
        const auto value = read ? std::optional(Value(Dictionary{{"k&", Value(*read)}})) : std::nullopt;
        EXPECT_EQ(parsePropertyList(bytesOf(xml)), value) << text;
    }
}

// Decoded by the parser, each reference costs a walk of the text after it: 700,000
// of one took 16 seconds of CPU. Here 700,000 of each kind take two at most.
TEST(PropertyList, AnXmlListOfManyReferencesIsReadInLinearTime)
{
    const std::pair<std::string, std::string> kinds[] = {{"&amp;", "&"}, {"&#65;", "A"}, {"&#x42;", "B"}};
    EXPECT_TRUE(holdsUnderLimit(RLIMIT_CPU, 2, [&kinds] {
        const std::size_t count = 700000;
        for (const auto& [reference, character] : kinds) {
            const auto value = parsePropertyList(bytesOf(textOfReferences(reference, count)));
            std::string expected;
            for (std::size_t i = 0; i < count; ++i)
                expected += character;
            if (value != Value(Dictionary{{"Label", Value(expected)}}))
                return false;
        }
        return true;
    }));
}

class PropertyListFileTest : public testsupport::PlatformRootTest {};

TEST_F(PropertyListFileTest, AFileRefusedIsSkippedWithOneLineSayingWhy)
{
    const auto folder = testsupport::homeFolder() / "Library/LaunchAgents";
    const std::pair<std::string, Data> refused[] = {
        {"doubling.plist", testsupport::doublingBinaryPlist(30)},
        {"deep.plist", nestedBinary(maximumPropertyListNesting + 1)},
        {"copies.plist", binaryArrayOfOneObject(200, binaryLeaf(0x4, 1 << 20))},
        {"text.plist", bytesOf("not a property list")},
        {"entities.plist", bytesOf("<!DOCTYPE plist [<!ENTITY a \"b\">]><plist><string>&a;</string></plist>")},
    };
    const std::string said[] = {
        "holds more than 262144 values once read",
        "nests deeper than 512 levels",
        "holds more than 33554432 bytes of text and data once read",
        "is not a property list that can be read",
        "is not a property list that can be read",
    };
    testing::internal::CaptureStdout();
    for (const auto& [name, bytes] : refused) {
        testsupport::plantFile(folder / name, std::string(bytes.begin(), bytes.end()));
        EXPECT_FALSE(readPropertyListFile((folder / name).string())) << name;
        EXPECT_FALSE(readPropertyListFile((folder / name).string())) << name;
    }
    std::string expected;
    for (std::size_t i = 0; i < std::size(refused); ++i)
        expected += "Unreadable file skipped: \"" + (folder / refused[i].first).string() + "\" " + said[i] + "\n";
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected);
}

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
