#include "ScanScreenTest.h"

#include "Foundation/IndexVocabularies.h"
#include "Foundation/Settings.h"
#include "Screens/Scan/OverviewViewController.h"

#include "Controls/FlatButton.h"

#include <QApplication>
#include <QDateTime>
#include <QLocale>
#include <QTest>

#include <gtest/gtest.h>

namespace K = SettingsKey;

namespace {

class OverviewStatus : public ScanScreenTest {
protected:
    void SetUp() override
    {
        ScanScreenTest::SetUp();
        ASSERT_NE(appGroupDefaults(), nullptr);
        // What a refresh that changes nothing leaves on show.
        overview.btnActiveProtectionValue->setText("previous");
        overview.btnDefinationStatusValue->setText("previous");
        overview.imgViewActiveProtectionStatus->setProperty("imageName", "previous");
        overview.imgViewDefinationStatus->setProperty("imageName", "previous");
    }

    static void store(platform::UserDefaults& defaults, const char* key, const std::optional<platform::Value>& value)
    {
        if (value)
            defaults.setObject(key, *value);
        else
            defaults.removeObject(key);
    }

    static std::string imageOf(const QLabel& view) { return view.property("imageName").toString().toStdString(); }

    OverviewViewController overview;
};

// Each switch read as the agent reads it: only a stored Boolean false turns it off.
TEST_F(OverviewStatus, ProtectionIsOnUnlessBothSwitchesHoldFalse)
{
    const struct {
        std::optional<platform::Value> active;
        std::optional<platform::Value> startup;
        const char* title;
        const char* image;
    } cases[] = {
        {false, false, "IDS_BGX_24", "exclamationM.png"},
        {false, true, "IDS_BGX_23", "singletick.png"},
        {true, false, "IDS_BGX_23", "singletick.png"},
        {true, true, "IDS_BGX_23", "singletick.png"},
        {std::nullopt, false, "IDS_BGX_23", "singletick.png"},
        {false, std::nullopt, "IDS_BGX_23", "singletick.png"},
        {"yes", false, "IDS_BGX_23", "singletick.png"},
        {false, 0, "IDS_BGX_23", "singletick.png"},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(testing::Message() << each.title << " / " << each.image);
        store(*appGroupDefaults(), K::isActiveProtectionEnabled, each.active);
        store(*appGroupDefaults(), K::isStartupProtectionEnabled, each.startup);
        overview.btnActiveProtectionValue->setText("previous");
        overview.imgViewActiveProtectionStatus->setProperty("imageName", "previous");
        overview.updateAGSQStatus();
        EXPECT_EQ(overview.btnActiveProtectionValue->text().toStdString(), each.title);
        EXPECT_EQ(imageOf(*overview.imgViewActiveProtectionStatus), each.image);
    }
}

TEST_F(OverviewStatus, DefinitionsUpToDateOrOfferingTheNewVersion)
{
    const struct {
        std::optional<platform::Value> upToDate;
        std::optional<platform::Value> oldVersion;
        std::optional<platform::Value> newVersion;
        const char* title;
        const char* image;
    } cases[] = {
        {true, 1.0, 1.0, "IDS_BGX_25", "singletick.png"},
        {false, 1.0, 2.5, "IDS_BGX_204 2.5", "exclamationM.png"},
        {false, 1.0, 3.0, "IDS_BGX_204 3", "exclamationM.png"},
        {false, 1.0, std::nullopt, "previous", "exclamationM.png"},
        {false, std::nullopt, 2.5, "previous", "exclamationM.png"},
        {std::nullopt, 1.0, 2.5, "previous", "previous"},
        {"no", 1.0, 2.5, "previous", "previous"},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(testing::Message() << each.title << " / " << each.image);
        store(standardDefaults(), K::isDefinitionsAreUpToDate, each.upToDate);
        store(standardDefaults(), K::definitionsOldVersion, each.oldVersion);
        store(standardDefaults(), K::definitionsNewVersion, each.newVersion);
        overview.btnDefinationStatusValue->setText("previous");
        overview.imgViewDefinationStatus->setProperty("imageName", "previous");
        overview.updateAGSQStatus();
        EXPECT_EQ(overview.btnDefinationStatusValue->text().toStdString(), each.title);
        EXPECT_EQ(imageOf(*overview.imgViewDefinationStatus), each.image);
    }
}

TEST_F(OverviewStatus, TheHeaderShieldAsksForAttentionWhileAStatusRowDoes)
{
    const struct {
        bool protectionOn;
        bool definitionsUpToDate;
        const char* shield;
    } cases[] = {
        {true, true, "AppIcon"},
        {false, true, "AttentionShield"},
        {true, false, "AttentionShield"},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(testing::Message() << each.protectionOn << " / " << each.definitionsUpToDate);
        appGroupDefaults()->setBool(K::isActiveProtectionEnabled, each.protectionOn);
        appGroupDefaults()->setBool(K::isStartupProtectionEnabled, false);
        standardDefaults().setBool(K::isDefinitionsAreUpToDate, each.definitionsUpToDate);
        overview.updateAGSQStatus();
        EXPECT_EQ(imageOf(*overview.imgViewShield), each.shield);
    }
}

TEST_F(OverviewStatus, StatusTitlesAreGreyUnderlinedSize13WhateverTheLayoutGave)
{
    appGroupDefaults()->setBool(K::isActiveProtectionEnabled, true);
    appGroupDefaults()->setBool(K::isStartupProtectionEnabled, false);
    standardDefaults().setBool(K::isDefinitionsAreUpToDate, true);
    overview.btnActiveProtectionValue->setFont(QFont("Serif", 30));
    overview.updateAGSQStatus();
    for (QPushButton* status : {overview.btnActiveProtectionValue, overview.btnDefinationStatusValue}) {
        EXPECT_EQ(status->font().pointSize(), 13);
        EXPECT_TRUE(status->font().underline());
        EXPECT_EQ(status->palette().color(QPalette::ButtonText), QColor(142, 142, 147));
    }
}

TEST_F(OverviewStatus, RemovedCountCountsOnlyAStoredInteger)
{
    const struct {
        std::optional<platform::Value> stored;
        const char* shown;
    } cases[] = {{std::nullopt, "0 IDS_BGX_26"}, {std::int64_t{7}, "7 IDS_BGX_26"}, {"seven", "0 IDS_BGX_26"}};
    for (const auto& each : cases) {
        store(standardDefaults(), K::totalDeceptiveAppsRemovedSoFar, each.stored);
        overview.updateAGSQStatus();
        EXPECT_EQ(overview.lblTotalDeceptiveAppsRemoved->text().toStdString(), each.shown);
    }
}

TEST_F(OverviewStatus, LastScanDateShowsOnAppearWhenStoredAsADate)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    EXPECT_EQ(overview.lblLastScanDate->text(), "") << "empty after the load";
    standardDefaults().setObject(K::lastScanDate, "yesterday");
    overview.viewWillAppear();
    EXPECT_EQ(overview.lblLastScanDate->text(), "");

    const QDateTime local(QDate(2021, 3, 5), QTime(14, 7, 9), Qt::LocalTime);
    standardDefaults().setObject(K::lastScanDate, platform::Date(std::chrono::milliseconds(local.toMSecsSinceEpoch())));
    overview.viewWillAppear();
    EXPECT_EQ(overview.lblLastScanDate->text(), "IDS_BGX_13 05/03/2021 02:07:09 PM");
    QLocale::setDefault(QLocale::system());
}

TEST_F(OverviewStatus, StatusClicksSelectProtectionOrTheUpdateSettings)
{
    widgettest::NotificationRecorder menus("MenuSelectionBGX");
    widgettest::NotificationRecorder settings("SettingViewUpdateBGX");
    overview.btnActiveProtectionValue->click();
    overview.btnDefinationStatusValue->click();
    ASSERT_EQ(menus.received().size(), 2u);
    ASSERT_NE(menus.received()[0].value<Menu>(menuKey), nullptr);
    EXPECT_EQ(*menus.received()[0].value<Menu>(menuKey), Menu::protection);
    EXPECT_EQ(*menus.received()[1].value<Menu>(menuKey), Menu::settings);
    ASSERT_EQ(settings.received().size(), 1u);
    ASSERT_NE(settings.received()[0].value<SettingsMenu>(menuKey), nullptr);
    EXPECT_EQ(*settings.received()[0].value<SettingsMenu>(menuKey), SettingsMenu::update);
}

// The status links, the About button and Start Scan Now: after mouse use alone the
// focus shows no ring; each reached by Tab wears it outside its edge at 3:1 or more.
TEST_F(OverviewStatus, EachControlWearsTheRingForTheKeyboardOnly)
{
    useEnglishTable();
    OverviewViewController shown; // with the English texts, as the user sees it
    store(*appGroupDefaults(), K::isActiveProtectionEnabled, true);
    store(*appGroupDefaults(), K::isStartupProtectionEnabled, true);
    standardDefaults().setBool(K::isDefinitionsAreUpToDate, true);
    shown.viewWillAppear();
    shown.updateAGSQStatus();
    host(shown);
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    widgettest::click(shown, {2, 2});
    shown.btnActiveProtectionValue->setFocus(Qt::OtherFocusReason);
    EXPECT_FALSE(widgettest::focusRingAbove(*shown.btnActiveProtectionValue).shown()) << "no ring after the mouse";

    for (QWidget* control : std::initializer_list<QWidget*>{shown.btnStartScanNow, shown.btnActiveProtectionValue,
                                                            shown.btnDefinationStatusValue, shown.btnSystemInfo}) {
        for (int step = 0; step < 10 && QApplication::focusWidget() != control; ++step)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), control) << control->objectName().toStdString();
        const widgettest::FocusRingSample ring = widgettest::focusRingAbove(*control);
        EXPECT_TRUE(ring.shown()) << control->objectName().toStdString() << ": " << ring.band.name().toStdString()
                                  << ", " << ring.contrast() << ":1 on " << ring.ground.name().toStdString();
        widgettest::saveGrab(window, "Overview-focus-" + control->objectName());
    }
}

TEST_F(OverviewStatus, RefreshesOnTheDefinitionsNotification)
{
    standardDefaults().setBool(K::isDefinitionsAreUpToDate, true);
    platform::NotificationCenter::defaultCenter().post("UpdateAGSQStatusAndDefinitionsBGX");
    EXPECT_EQ(overview.btnDefinationStatusValue->text(), "IDS_BGX_25");
}

TEST_F(OverviewStatus, CaptionsComeFromTheirKeys)
{
    EXPECT_EQ(overview.lblWelcomeToBastionGuardpoin->text(), "IDS_BGX_9");
    EXPECT_EQ(overview.btnStartScanNow->text(), "IDS_BGX_12");
    EXPECT_EQ(overview.lblGraphics->text(), "IDS_BGX_22");
    EXPECT_EQ(overview.lblDeceptorsCleaned->text(), "IDS_BGX_16");
}

// The scan of a launch as a login item: tried at the first appearance only.
class OverviewAutoScan : public OverviewStatus {
protected:
    widgettest::NotificationRecorder scanStarts{"MenuSelectionBGX"};
};

TEST_F(OverviewAutoScan, StartsOneScanWhenLaunchedAsALoginItem)
{
    isLaunchedAsLoginItem = true;
    standardDefaults().setBool(K::isDefinitionsAreUpToDate, true);
    overview.viewDidAppear();
    EXPECT_FALSE(isLaunchedAsLoginItem);
    EXPECT_TRUE(Scan::shared().isScanRunning);
    ASSERT_EQ(scanStarts.received().size(), 1u);
    EXPECT_EQ(*scanStarts.received()[0].value<Menu>(menuKey), Menu::scan);
    EXPECT_EQ(overview.btnDefinationStatusValue->text(), "IDS_BGX_25") << "then the status refresh";
}

TEST_F(OverviewAutoScan, ARunningScanOnlyClearsTheFlag)
{
    isLaunchedAsLoginItem = true;
    Scan::shared().isScanRunning = true;
    standardDefaults().setBool(K::isDefinitionsAreUpToDate, true);
    overview.viewDidAppear();
    Scan::shared().isScanRunning = false;
    EXPECT_FALSE(isLaunchedAsLoginItem);
    EXPECT_TRUE(scanStarts.received().empty());
    EXPECT_EQ(overview.btnDefinationStatusValue->text(), "previous") << "no refresh at this appearance";
}

TEST_F(OverviewAutoScan, NoScanWithoutTheFlag)
{
    overview.viewDidAppear();
    overview.viewDidAppear();
    EXPECT_TRUE(scanStarts.received().empty());
    EXPECT_FALSE(Scan::shared().isScanRunning);
}

TEST_F(OverviewAutoScan, StartScanNowStartsAScanUnlessOneRuns)
{
    Scan::shared().isScanRunning = true;
    overview.btnStartScanNow->click();
    EXPECT_TRUE(scanStarts.received().empty());
    Scan::shared().isScanRunning = false;
    overview.btnStartScanNow->click();
    EXPECT_EQ(scanStarts.received().size(), 1u);
}

} // namespace
