#include "Startup/LoginItem.h"

#include "Startup/StartupItemLists.h"
#include "StartupTestWorld.h"

#include <gtest/gtest.h>

namespace {

using platform::Dictionary;
using platform::FileURL;
using startuptest::host;
using startuptest::plantBundle;

class LoginItemTest : public testsupport::PlatformRootTest {
protected:
    void SetUp() override
    {
        PlatformRootTest::SetUp();
        plantBundle("/Applications/Tool.app", "com.example.tool");
        plantBundle("/Applications/Tool.app/Contents/Library/LoginItems/Helper.app", "com.example.tool.helper");
        plantBundle("/Applications/Solo.app", "solo");
        plantBundle("/Volumes/Contents/Deep.app", "org.deep.app");
    }

    static LoginItem job(const std::optional<std::string>& program, const std::optional<std::int64_t>& pid = {})
    {
        return LoginItem(true, "job.label", 0, "Aqua", 1, platform::Array{"a", 2}, 1, program, pid, true);
    }

    static std::optional<std::string> appPath(const LoginItem& item)
    {
        return item.appUrl ? std::optional(item.appUrl->path()) : std::nullopt;
    }
};

TEST_F(LoginItemTest, TheApplicationBehindAJobsProgram)
{
    struct Case {
        const char* what;
        std::optional<std::string> program;
        std::optional<std::string> appPath; // platform path
        std::optional<std::string> helper;
        std::optional<std::string> name;
        std::optional<std::string> company;
        bool isInvalid;
    };
    const std::string toolProgram = host("/Applications/Tool.app/Contents/MacOS/Tool");
    const std::string helperProgram = host("/Applications/Tool.app/Contents/Library/LoginItems/Helper.app/Contents/MacOS/Helper");
    const std::string deepProgram = host("/Volumes/Contents/Deep.app/Contents/MacOS/Deep");
    const Case cases[] = {
        {"identifier of an application", "com.example.tool", "/Applications/Tool.app", "com.example.tool", "Tool.app", "example", false},
        {"identifier of a helper inside an application", "com.example.tool.helper", "/Applications/Tool.app",
         "com.example.tool.helper", "Tool.app", "example", false},
        {"program inside an application", toolProgram, "/Applications/Tool.app", "com.example.tool", "Tool.app", "example", false},
        {"program of a nested helper: the outermost application", helperProgram, "/Applications/Tool.app",
         "com.example.tool", "Tool.app", "example", false},
        {"a folder named Contents above the application", deepProgram, "/Volumes/Contents/Deep.app", "org.deep.app",
         "Deep.app", "deep", false},
        {"identifier without a dot", "solo", "/Applications/Solo.app", "solo", "Solo.app", std::nullopt, false},
        {"unknown identifier", "com.nobody.knows", std::nullopt, "com.nobody.knows", std::nullopt, "Unknown", true},
        {"no program", std::nullopt, std::nullopt, std::nullopt, std::nullopt, "Unknown", true},
        {"program of an application that is gone", host("/Applications/Gone.app/Contents/MacOS/Gone"),
         "/Applications/Gone.app", std::nullopt, "Gone.app", std::nullopt, true},
    };
    for (const auto& c : cases) {
        const auto item = job(c.program);
        EXPECT_EQ(appPath(item), c.appPath ? std::optional(host(*c.appPath)) : std::nullopt) << c.what;
        EXPECT_EQ(item.helperBundleIdentifier, c.helper) << c.what;
        EXPECT_EQ(item.name, c.name) << c.what;
        EXPECT_EQ(item.company, c.company) << c.what;
        EXPECT_EQ(item.isInvalid, c.isInvalid) << c.what;
        EXPECT_EQ(item.icon.has_value(), c.appPath.has_value()) << c.what;
        EXPECT_EQ(item.bundle.has_value(), c.appPath && !c.isInvalid) << c.what;
    }
}

TEST_F(LoginItemTest, SessionItems)
{
    const auto present = LoginItem(true, FileURL::fromPath(host("/Applications/Tool.app")), false);
    EXPECT_EQ(present.name, "Tool.app");
    EXPECT_EQ(present.company, "example");
    EXPECT_FALSE(present.isInvalid);
    EXPECT_FALSE(present.program || present.label || present.helperBundleIdentifier);

    const auto gone = LoginItem(false, FileURL::fromPath(host("/Applications/Gone.app")), false);
    EXPECT_TRUE(gone.isInvalid);
    EXPECT_EQ(gone.name, "Gone.app");
    EXPECT_EQ(gone.company, std::nullopt);
    EXPECT_FALSE(gone.isEnable);

    const auto none = LoginItem(true, std::nullopt, false);
    EXPECT_TRUE(none.isInvalid);
    EXPECT_EQ(none.company, "Unknown");
}

TEST_F(LoginItemTest, StoredFormRoundTrips)
{
    auto item = job("com.example.tool", 321);
    item.isEnable = false;
    const Dictionary record = item.record();
    EXPECT_EQ(record, (Dictionary{{"isEnable", "0"},
                                  {"label", "job.label"},
                                  {"lastExitStatus", "0"},
                                  {"limitLoadToSessionType", "Aqua"},
                                  {"enableTransactions", "1"},
                                  {"programArguments", platform::Array{"a", 2}},
                                  {"onDemand", "1"},
                                  {"program", "com.example.tool"},
                                  {"appUrlPath", host("/Applications/Tool.app")},
                                  {"pid", 321},
                                  {"isSMLoginItem", true}}));

    const LoginItem rebuilt(record);
    EXPECT_EQ(rebuilt.record(), record);
    EXPECT_EQ(rebuilt.helperBundleIdentifier, "com.example.tool");
    EXPECT_EQ(rebuilt.name, "Tool.app");
    EXPECT_FALSE(rebuilt.isEnable);
    EXPECT_TRUE(rebuilt == item);

    const auto session = LoginItem(true, FileURL::fromPath(host("/Applications/Gone.app")), false);
    EXPECT_EQ(session.record(), (Dictionary{{"isEnable", "1"}, {"appUrlPath", host("/Applications/Gone.app")}, {"isSMLoginItem", false}}));
    EXPECT_EQ(LoginItem(session.record()).name, "Gone.app");
}

TEST_F(LoginItemTest, StoredFormsWithMissingOrMistypedEntries)
{
    const LoginItem empty{Dictionary{}};
    EXPECT_TRUE(empty.isEnable);
    EXPECT_TRUE(empty.isInvalid);
    EXPECT_EQ(empty.company, "Unknown");

    const LoginItem odd{Dictionary{{"isEnable", "true"},
                                   {"label", 5},
                                   {"lastExitStatus", "  -12abc"},
                                   {"onDemand", "x1"},
                                   {"enableTransactions", 1},
                                   {"pid", "7"},
                                   {"isSMLoginItem", "1"}}};
    EXPECT_FALSE(odd.isEnable);
    EXPECT_EQ(odd.label, std::nullopt);
    EXPECT_EQ(odd.lastExitStatus, -12);
    EXPECT_EQ(odd.onDemand, 0);
    EXPECT_EQ(odd.enableTransactions, std::nullopt);
    EXPECT_EQ(odd.pid, std::nullopt);
    EXPECT_FALSE(odd.isSMLoginItem);
}

TEST_F(LoginItemTest, EqualityAndDifferencesOfLists)
{
    LoginItem urlA, urlA2, helperH, helperH2, named, unnamed, unnamed2;
    urlA.appUrl = FileURL::fromPath("/A.app");
    urlA.helperBundleIdentifier = "one";
    urlA2.appUrl = FileURL::fromPath("/A.app");
    urlA2.helperBundleIdentifier = "two";
    helperH.helperBundleIdentifier = "h";
    helperH.name = "first";
    helperH2.helperBundleIdentifier = "h";
    helperH2.name = "second";
    named.name = "n";
    EXPECT_TRUE(urlA == urlA2);       // the URLs decide
    EXPECT_TRUE(helperH == helperH2); // the helpers decide, whatever the names
    EXPECT_TRUE(unnamed == unnamed2);
    EXPECT_FALSE(named == unnamed);

    // Equal records with different helpers are the same item in a difference.
    EXPECT_TRUE(symmetricDifference(std::vector{urlA, helperH}, std::vector{helperH2, urlA2}).empty());
    const auto difference = symmetricDifference(std::vector{urlA, named}, std::vector{urlA2, helperH});
    ASSERT_EQ(difference.size(), 2u);
    EXPECT_EQ(difference[0].name, "n");
    EXPECT_EQ(difference[1].helperBundleIdentifier, "h");
}

} // namespace
