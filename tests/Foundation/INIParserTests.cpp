#include "Foundation/INIParser.h"
#include "Foundation/Stack.h"

#include "TestRoot.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <system_error>

namespace {

using Section = INIParser::Section;
using Sections = std::map<std::string, Section>;

struct GrammarCase {
    const char* name;
    std::string text;
    Section anonymous;
    Sections sections;
    std::optional<INIParser::Exception> failure;
};

std::ostream& operator<<(std::ostream& out, const GrammarCase& grammarCase)
{
    return out << grammarCase.name;
}

const auto syntaxError = INIParser::Exception::InvalidSyntax;

const GrammarCase grammarCases[] = {
    {"CrLfLines", "[act]\r\nversion=2.0\r\nphone=x\r\n", {}, {{"act", {{"version", "2.0"}, {"phone", "x"}}}}, {}},
    {"LfLines", "[act]\nversion=2.0\nphone=x\n", {}, {{"act", {{"version", "2.0"}, {"phone", "x"}}}}, {}},
    {"AnonymousBeforeSection", "a=1\n[s]\nb=2", {{"a", "1"}}, {{"s", {{"b", "2"}}}}, {}},
    {"BlanksKept", "key = value", {{"key ", " value"}}, {}, {}},
    {"LeadingSpaceDropped", " k=v", {{"k", "v"}}, {}, {}},
    {"DoubleQuotesKept", "k=\"a b\"", {{"k", "\"a b\""}}, {}, {}},
    {"NestedQuotes", "k=\"a'b'c\"", {{"k", "\"a'b'c\""}}, {}, {}},
    {"ApostropheInQuotesOpensARun", "k=\"it's\"", {}, {}, syntaxError},
    {"TabDropped", "k=\ta", {{"k", "a"}}, {}, {}},
    {"TabKeptInQuotes", "k='\t'", {{"k", "'\t'"}}, {}, {}},
    {"CommentEndsValue", "v=1 # note", {{"v", "1 "}}, {}, {}},
    {"SemicolonEndsValue", "v=1;2", {{"v", "1"}}, {}, {}},
    {"CommentLine", "# note\nx;y\n[s]\nk=1", {}, {{"s", {{"k", "1"}}}}, {}},
    {"CommentInsideQuotesDropsLine", "k=\"a#b\"", {}, {}, {}},
    {"SecondEqualsKept", "k=a=b", {{"k", "a=b"}}, {}, {}},
    {"BracketsDroppedInValue", "x=[1]", {{"x", "1"}}, {}, {}},
    {"TextAfterTitleIgnored", "[s] trailing\nk=v", {}, {{"s", {{"k", "v"}}}}, {}},
    {"TextBeforeBracketDiscarded", "junk[s]\nk=v", {}, {{"s", {{"k", "v"}}}}, {}},
    {"LastValueWins", "[s]\nk=1\nk=2", {}, {{"s", {{"k", "2"}}}}, {}},
    {"RepeatedTitleContinues", "[s]\na=1\n[t]\nb=2\n[s]\nc=3",
     {}, {{"s", {{"a", "1"}, {"c", "3"}}}, {"t", {{"b", "2"}}}}, {}},
    {"EmptySectionAbsent", "[s]\n[t]\nk=v", {}, {{"t", {{"k", "v"}}}}, {}},
    {"SingleSpaceAndEmptyLinesSkipped", "\n \n\nk=v\n\n", {{"k", "v"}}, {}, {}},
    {"EmptyValue", "k=", {{"k", ""}}, {}, {}},
    {"CombiningMarkIsNotEquals", "k=\xcc\x81v", {}, {}, syntaxError},
    {"NoEquals", "abc", {}, {}, syntaxError},
    {"UnclosedTitle", "[s", {}, {}, syntaxError},
    {"UnclosedQuote", "k=\"abc", {}, {}, syntaxError},
    {"TwoSpaces", "  ", {}, {}, syntaxError},
    {"LoneCarriageReturn", "\r", {}, {}, syntaxError},
    {"BadLineFailsWholeFile", "[s]\nk=v\nbroken", {}, {}, syntaxError},
    {"InvalidUtf8", "k=\xff\xfe", {}, {}, INIParser::Exception::InvalidFile},
};

class INIGrammar : public testsupport::PlatformRootTest, public ::testing::WithParamInterface<GrammarCase> {};

TEST_P(INIGrammar, ParsesAsTheGrammarSays)
{
    const auto& expected = GetParam();
    const auto path = testsupport::plantFile(testsupport::homeFolder() / "bgx.ini", expected.text);
    if (expected.failure) {
        try {
            INIParser parser(path.string());
            FAIL() << "no failure";
        } catch (const INIParser::Error& error) {
            EXPECT_EQ(error.exception(), *expected.failure);
        }
        return;
    }
    const INIParser parser(path.string());
    EXPECT_EQ(parser.anonymousSection(), expected.anonymous);
    EXPECT_EQ(parser.sections(), expected.sections);
}

INSTANTIATE_TEST_SUITE_P(Cases, INIGrammar, ::testing::ValuesIn(grammarCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(INIGrammar, MissingFileFailsWithTheReadError)
{
    try {
        INIParser parser((testsupport::homeFolder() / "absent.ini").string());
        FAIL() << "no failure";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code(), std::errc::no_such_file_or_directory);
    }
}

TEST(StackTest, PopsInReverseOrderAndReportsEmpty)
{
    Stack<int> stack;
    EXPECT_TRUE(stack.isEmpty());
    EXPECT_FALSE(stack.pop());
    EXPECT_FALSE(stack.top());
    stack.push(1);
    stack.push(2);
    EXPECT_EQ(stack.top(), 2);
    EXPECT_EQ(stack.pop(), 2);
    EXPECT_EQ(stack.pop(), 1);
    EXPECT_TRUE(stack.isEmpty());
}

} // namespace
