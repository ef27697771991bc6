#include "AlertWindowTest.h"

#include "Agent/AlertNotifications.h"
#include "Agent/CrashAlert.h"

#include <QComboBox>

using namespace std::chrono_literals;

namespace {

class CrashAlertTest : public AlertWindowTest {
protected:
    void SetUp() override
    {
        AlertWindowTest::SetUp();
        alert = std::make_unique<CrashesViewController>();
    }

    void post(const std::string& report)
    {
        showWith(*alert, AlertNotification::newCrashReport, {{AlertKey::crashReport, report}});
    }

    // The alert as it appears again: closed, then shown.
    int shownChoice()
    {
        alert->close();
        alert->show();
        return alert->comboBoxSnoozeFor->currentIndex();
    }

    static void storeChoice(std::int64_t choice, std::chrono::system_clock::duration ago)
    {
        appGroupDefaults()->setInteger(SettingsKey::snoozeFor, choice);
        appGroupDefaults()->setObject(SettingsKey::snoozeForDate, platform::Value(std::chrono::system_clock::now() - ago));
    }

    std::unique_ptr<CrashesViewController> alert;
};

TEST_F(CrashAlertTest, TheTitleNamesTheApplicationFromTheReportsFileName)
{
    const struct {
        const char* report;
        const char* name;
    } cases[] = {
        {"/Library/Logs/DiagnosticReports/SomeApp_2021-03-04-120000_Mac.crash", "SomeApp"},
        {"/Users/me/Library/Logs/DiagnosticReports/Some_App_2021-03-04-120000_Mac.crash", "Some_App"},
        {"/Library/Logs/DiagnosticReports/Some Editor_2021-03-04-101112_host.crash", "Some Editor"},
    };
    for (const auto& each : cases) {
        post(each.report);
        EXPECT_EQ(alert->lblTitle->text(), QString(each.name) + " " + text("IDS_BGX_206")) << each.report;
        EXPECT_EQ(alert->path(), each.report);
    }
    widgettest::saveGrab(*alert, "CrashAlert");

    CrashesViewController fresh;
    showWith(fresh, AlertNotification::newCrashReport, {{AlertKey::crashReport, std::string("/reports/crash.log")}});
    EXPECT_EQ(fresh.lblTitle->text(), "");
    EXPECT_EQ(fresh.path(), "/reports/crash.log");
    widgettest::saveGrab(fresh, "CrashAlert-unnamed");
    fresh.close();
    EXPECT_EQ(fresh.path(), std::nullopt);
}

TEST_F(CrashAlertTest, TheSnoozeChoicesInTheirOrder)
{
    alert->show();
    QStringList shown;
    for (int index = 0; index < alert->comboBoxSnoozeFor->count(); ++index)
        shown << alert->comboBoxSnoozeFor->itemText(index);
    EXPECT_EQ(shown, (QStringList{text("IDS_BGX_147"), "30 " + text("IDS_BGX_215"), "1 " + text("IDS_BGX_216"),
                                  "12 " + text("IDS_BGX_217"), "24 " + text("IDS_BGX_217")}));
}

TEST_F(CrashAlertTest, AChoiceIsStoredWithItsDateAndShownByTheNextAlert)
{
    EXPECT_EQ(shownChoice(), 0) << "nothing stored";
    for (const int choice : {0, 3}) {
        const auto before = std::chrono::system_clock::now();
        alert->comboBoxSnoozeFor->setCurrentIndex(choice);
        emit alert->comboBoxSnoozeFor->activated(choice);
        EXPECT_EQ(appGroupDefaults()->integer(SettingsKey::snoozeFor), choice);
        EXPECT_GE(appGroupDefaults()->date(SettingsKey::snoozeForDate).value_or(platform::Date{}), before - 1s);
        EXPECT_TRUE(alert->isVisible());
        EXPECT_EQ(shownChoice(), choice);
    }
    widgettest::saveGrab(*alert, "CrashAlert-snooze");
}

TEST_F(CrashAlertTest, AnExpiredChoiceIsResetAndAChoiceOutsideTheListShowsTheFirst)
{
    storeChoice(3, 12h + 59min);
    EXPECT_EQ(shownChoice(), 3);
    storeChoice(3, 13h);
    EXPECT_EQ(shownChoice(), 0);
    EXPECT_EQ(appGroupDefaults()->integer(SettingsKey::snoozeFor), 0);
    for (const std::int64_t outside : {5, 9, -1}) {
        storeChoice(outside, 1min);
        EXPECT_EQ(shownChoice(), 0) << outside;
        EXPECT_EQ(appGroupDefaults()->integer(SettingsKey::snoozeFor), outside) << "left as stored";
    }
}

} // namespace
