#include "AgentTest.h"

#include "Agent/AlertNotifications.h"
#include "Agent/CrashSnooze.h"
#include "Agent/TextMatches.h"
#include "Foundation/Settings.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
namespace K = SettingsKey;
using namespace std::chrono_literals;

namespace {

using CrashReportTriageTest = AgentTest;

const platform::Date storedAt = std::chrono::sys_days{std::chrono::year{2026} / 3 / 4} + 10h;

TEST_F(CrashReportTriageTest, ANewReportRaisesTheCrashAlertUnlessSnoozedOrSwitchedOff)
{
    const auto reports = testsupport::homeFolder() / "Library/Logs/DiagnosticReports";
    struct Case {
        const char* name;
        std::function<void()> arrange;
        bool alerted;
    };
    const std::vector<Case> cases{
        {"switch absent", [] {}, true},
        {"snoozed for 30 minutes",
         [] {
             setSuiteValue(K::snoozeFor, 1);
             setSuiteValue(K::snoozeForDate, platform::Date(std::chrono::system_clock::now()));
         },
         false},
        {"switched off", [] { setSuiteValue(K::isCrashesProtectionEnabled, false); }, false},
        {"ignored", [&] { setSuiteValue(K::ignoreAllPaths, platform::Array{(reports / "Tool_2026-03-04-101112_host.crash").string()}); }, false},
    };
    for (const auto& [name, arrange, alerted] : cases) {
        SetUp();
        widgettest::NotificationRecorder alerts(AlertNotification::newCrashReport);
        startAgent();
        arrange();
        const auto report = testsupport::plantFile(reports / "Tool_2026-03-04-101112_host.crash", "report");
        if (alerted) {
            ASSERT_TRUE(waitForPosts(alerts, 1)) << name;
            EXPECT_EQ(*alerts.received().front().value<std::string>(AlertKey::crashReport), report.string()) << name;
        } else {
            settle(500ms);
            EXPECT_TRUE(alerts.received().empty()) << name;
        }
        TearDown();
    }
}

TEST_F(CrashReportTriageTest, AReportInTheGlobalFolderRaisesTheAlertAndARemovalDoesNot)
{
    widgettest::NotificationRecorder alerts(AlertNotification::newCrashReport);
    startAgent();
    const auto report = testsupport::plantFile(testsupport::underRoot("/Library/Logs/DiagnosticReports/Ed_2026-01-02-030405_m.crash"));
    ASSERT_TRUE(waitForPosts(alerts, 1));
    settle();
    const auto raised = alerts.received().size();
    fs::remove(report);
    settle(500ms);
    EXPECT_EQ(alerts.received().size(), raised);
}

struct SnoozeCase {
    platform::Value choice;
    std::optional<std::chrono::seconds> age; // none: no date stored
    bool snoozed;
    platform::Value choiceAfter;
};

TEST_F(CrashReportTriageTest, SnoozeHoldsForWholeUnitsBelowEachChoicesBoundAndResetsWhenRunOut)
{
    const std::vector<SnoozeCase> cases{
        {1, 30min + 59s, true, 1},
        {1, 31min, false, 0},
        {2, 60min + 59s, true, 2},
        {2, 61min, false, 0},
        {3, 12h + 59min, true, 3},
        {3, 13h, false, 0},
        {4, 24h + 59min, true, 4},
        {4, 25h, false, 0},
        {4, std::nullopt, false, 4},
        {1, -2h, true, 1}, // a date in the future
        {5, 1min, false, 5},
        {0, 1min, false, 0},
        {-1, 1min, false, -1},
        {"1", 1min, false, "1"},
    };
    for (const auto& [choice, age, snoozed, choiceAfter] : cases) {
        auto* suite = appGroupDefaults();
        suite->setObject(K::snoozeFor, choice);
        suite->setObject(K::snoozeForDate, age ? platform::Value(storedAt) : platform::Value());
        const auto now = storedAt + age.value_or(0s);
        EXPECT_EQ(isCrashAlertSnoozed(now), snoozed) << "choice " << (choice.asInteger() ? *choice.asInteger() : -99) << " after " << age.value_or(0s).count();
        EXPECT_EQ(suite->object(K::snoozeFor), choiceAfter) << age.value_or(0s).count();
    }
}

TEST(TextMatches, FindsEveryCaseInsensitiveMatchAndNothingForABadPattern)
{
    const std::string reportName = ".+?(?=_[0-9]{4}-)";
    EXPECT_EQ(matches(reportName, "Tool_2020-01-02-030405_host.crash"), std::vector<std::string>{"Tool"});
    EXPECT_EQ(matches(reportName, "Some_App_2021-03-04-120000_Mac.crash").front(), "Some_App");
    EXPECT_EQ(matches(reportName, "Some Editor_2021-03-04-101112_host.crash").front(), "Some Editor");
    EXPECT_TRUE(matches(reportName, "notes.txt").empty());
    EXPECT_TRUE(matches("(", "anything").empty());
    EXPECT_EQ(matches("ab", "xABxaB"), (std::vector<std::string>{"AB", "aB"}));
}

} // namespace
