#include "FilePermissionsObeyed.h"
#include "ManageScreenTest.h"

#include "Foundation/IndexVocabularies.h"
#include "Foundation/Settings.h"
#include "Foundation/TextTable.h"
#include "Foundation/UserPaths.h"
#include "Platform/Bundle/Bundle.h"
#include "Screens/Common/ScreenStyle.h"
#include "Screens/Manage/GeneralSettingsViewController.h"
#include "Screens/Manage/IgnoreListViewController.h"
#include "Screens/Manage/SettingCheckbox.h"
#include "Screens/Manage/SettingsViewController.h"
#include "Screens/Manage/UpdateSettingsViewController.h"
#include "Startup/LaunchOnStartup.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <set>

namespace K = SettingsKey;
using managetest::ManageScreenTest;

namespace {

// The container over three screens of its own (the factory's kept screens in the program).
struct SettingsScreens {
    GeneralSettingsViewController general;
    UpdateSettingsViewController update;
    IgnoreListViewController ignoreList;

    QWidget& operator()(SettingsMenu menu)
    {
        switch (menu) {
        case SettingsMenu::update:
            return update;
        case SettingsMenu::ignoreList:
            return ignoreList;
        default:
            return general;
        }
    }
};

// The container and its screens; the shown screen leaves the container before both end.
struct SettingsHarness {
    SettingsScreens screens;
    SettingsViewController settings{std::ref(screens)};
    ~SettingsHarness()
    {
        for (QWidget* shown : settings.containerView->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            shown->setParent(nullptr);
    }
};

class SettingsContainer : public ManageScreenTest {
protected:
    std::vector<QWidget*> shownScreens() const
    {
        const auto children = settings.containerView->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        return {children.begin(), children.end()};
    }

    // The tab that looks selected: the lighter background and the marker line.
    std::vector<SettingsMenu> selectedTabs() const
    {
        std::vector<SettingsMenu> selected;
        for (const SettingsMenu menu : {SettingsMenu::general, SettingsMenu::update, SettingsMenu::ignoreList}) {
            const auto& tab = settings.tab(menu);
            const bool lighter = tab.box->palette().color(QPalette::Window) == SettingsViewController::selectedTabColor;
            EXPECT_EQ(lighter, !tab.verticalLine->isHidden());
            if (lighter)
                selected.push_back(menu);
        }
        return selected;
    }

    static void post(std::any menu)
    {
        platform::NotificationCenter::defaultCenter().post("SettingViewUpdateBGX", {{menuKey, std::move(menu)}});
    }

    SettingsHarness harness;
    SettingsScreens& screens = harness.screens;
    SettingsViewController& settings = harness.settings;
};

TEST_F(SettingsContainer, OpensOnGeneralAndSwitchesOnlyForATypedMenu)
{
    EXPECT_EQ(shownScreens(), std::vector<QWidget*>{&screens.general});
    EXPECT_EQ(selectedTabs(), std::vector{SettingsMenu::general});
    EXPECT_EQ(settings.tab(SettingsMenu::update).label->text(), "IDS_BGX_48");

    post(SettingsMenu::ignoreList);
    EXPECT_EQ(shownScreens(), std::vector<QWidget*>{&screens.ignoreList});
    EXPECT_EQ(selectedTabs(), std::vector{SettingsMenu::ignoreList});

    post(1); // the raw number of `update`
    post(std::string("update"));
    platform::NotificationCenter::defaultCenter().post("SettingViewUpdateBGX");
    EXPECT_EQ(shownScreens(), std::vector<QWidget*>{&screens.ignoreList});

    for (int round = 0; round < 5; ++round) {
        settings.clickedUpdateSettings();
        settings.clickedGeneralSettings();
        settings.clickedIgnoreList();
    }
    EXPECT_EQ(shownScreens(), std::vector<QWidget*>{&screens.ignoreList});
    EXPECT_EQ(selectedTabs(), std::vector{SettingsMenu::ignoreList});
}

TEST_F(SettingsContainer, ChoosingTheShownTabAgainReadsItsSettingsAgain)
{
    appGroupDefaults()->setBool(K::moveDeletedToTrash, true);
    settings.clickedGeneralSettings();
    EXPECT_TRUE(screens.general.btnMoveDeletedFilesToTrash->isChecked());
    appGroupDefaults()->setBool(K::moveDeletedToTrash, false);
    widgettest::click(*settings.tab(SettingsMenu::general).button);
    EXPECT_FALSE(screens.general.btnMoveDeletedFilesToTrash->isChecked());

    // The Settings entry shown again: the tab last chosen reads its settings again too.
    appGroupDefaults()->setBool(K::moveDeletedToTrash, true);
    settings.viewWillAppear();
    EXPECT_TRUE(screens.general.btnMoveDeletedFilesToTrash->isChecked());
}

using GeneralSettings = ManageScreenTest;

TEST_F(GeneralSettings, CheckboxesShowAndStoreTheirKeys)
{
    GeneralSettingsViewController general;
    struct Case {
        SettingCheckbox* checkbox;
        platform::UserDefaults* store;
        const char* title;
    };
    const Case cases[] = {
        {general.btnLaunchAutomatically, &standardDefaults(), "IDS_BGX_103"},
        {general.btnScanOnAutoLaunch, &standardDefaults(), "IDS_BGX_104"},
        {general.btnMoveDeletedFilesToTrash, appGroupDefaults(), "IDS_BGX_105"},
        {general.btnCrasheshProtection, appGroupDefaults(), "IDS_BGX_205"},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.checkbox->key);
        EXPECT_EQ(each.checkbox->text(), each.title);
        each.store->setBool(each.checkbox->key, false);
        general.viewWillAppear();
        EXPECT_FALSE(each.checkbox->isChecked());
        each.checkbox->click();
        EXPECT_EQ(each.store->boolean(each.checkbox->key), true);
        each.store->setObject(each.checkbox->key, platform::Value("yes")); // not a Boolean: left as shown
        each.checkbox->setChecked(false);
        general.viewWillAppear();
        EXPECT_FALSE(each.checkbox->isChecked());
    }
    EXPECT_EQ(general.comboBoxSelectLanguage->count(), 1);
    EXPECT_EQ(general.comboBoxSelectLanguage->currentText(), "English");
}

TEST_F(GeneralSettings, LaunchAtLoginAddsAndRemovesTheApplicationsOwnLoginItem)
{
    GeneralSettingsViewController general;
    const platform::FileURL application = platform::FileURL::fromPath(platform::Bundle::main().bundlePath());
    const auto listed = [&] {
        const auto urls = LaunchOnStartupList().sessionLoginItemURLs();
        return std::count(urls.begin(), urls.end(), application);
    };
    standardDefaults().setBool(K::launchAutomatically, false);
    general.viewWillAppear();

    general.btnLaunchAutomatically->click();
    EXPECT_EQ(standardDefaults().boolean(K::launchAutomatically), true);
    EXPECT_EQ(listed(), 1);
    general.btnLaunchAutomatically->click();
    EXPECT_EQ(standardDefaults().boolean(K::launchAutomatically), false);
    EXPECT_EQ(listed(), 0);
}

// With the stores' folders unwritable (as on a full disk) a click stores nothing: the
// box shows the stored value, a sheet says so, and launch-at-login changes no login item.
TEST_F(GeneralSettings, ACheckboxThatCannotBeStoredShowsTheStoredValueAndASheet)
{
    appGroupDefaults()->setBool(K::moveDeletedToTrash, true);
    standardDefaults().setBool(K::launchAutomatically, false);
    const managetest::UnwritableStore unwritableSuite(*appGroupDefaults());
    const managetest::UnwritableStore unwritableStandard(standardDefaults());
    if (!unwritableSuite.isSet() || !unwritableStandard.isSet())
        GTEST_SKIP() << "this file system or process cannot make a folder immutable";
    managetest::WithoutMainWindow onItsOwn;
    managetest::withEnglish([&] {
        GeneralSettingsViewController general;
        managetest::showInWindow(general);
        for (SettingCheckbox* checkbox : {general.btnMoveDeletedFilesToTrash, general.btnLaunchAutomatically}) {
            SCOPED_TRACE(checkbox->key);
            const bool stored = checkbox == general.btnMoveDeletedFilesToTrash;
            EXPECT_EQ(checkbox->isChecked(), stored);
            widgettest::click(*checkbox);
            EXPECT_EQ(checkbox->isChecked(), stored);
            ASSERT_EQ(seams.sheets.size(), 1u);
            EXPECT_EQ(seams.sheets[0].messageText, localizedText("IDS_BGX_270"));
            seams.answerSheet(alertFirstButtonReturn);
            seams.sheets.clear();
        }
        EXPECT_EQ(appGroupDefaults()->boolean(K::moveDeletedToTrash), true);
        EXPECT_EQ(standardDefaults().boolean(K::launchAutomatically), false);
        EXPECT_TRUE(LaunchOnStartupList().sessionLoginItemURLs().empty());

        setSheetPresenter({}); // the real sheet, for the grab
        widgettest::click(*general.btnMoveDeletedFilesToTrash);
        managetest::grabWithSheet(general, "Settings-general-NotSaved");
        for (QMessageBox* box : general.window()->findChildren<QMessageBox*>())
            box->buttons().at(0)->click();
    });
}

// A settings file the user may not open (left by a run with sudo) keeps every key: a
// click stores nothing, the box shows what was read before, a sheet says so, and the
// file is neither moved aside nor written over.
TEST_F(GeneralSettings, ASettingsFileThatCannotBeOpenedKeepsEveryKeyAndAClickSaysSo)
{
    standardDefaults().setBool(K::launchAutomatically, false);
    standardDefaults().setBool(K::scanOnAutoLaunch, false);
    standardDefaults().setInteger(K::totalDeceptiveAppsRemovedSoFar, 12);
    standardDefaults().setObject(K::loginItemsUD, platform::Array{platform::Dictionary{{"label", "com.example.job"}}});
    const std::filesystem::path file = standardDefaults().plistPath();
    const std::string bytes = testsupport::readFileText(file);
    const platform::Dictionary everyKey = standardDefaults().dictionaryRepresentation();
    {
        testsupport::UnopenableFile unopenable(file);
        const testsupport::FilePermissionsObeyed obeyed;
        if (!obeyed.isSet())
            GTEST_SKIP() << "this process cannot give up its file access override";
        managetest::WithoutMainWindow onItsOwn;
        testing::internal::CaptureStderr();
        managetest::withEnglish([&] {
            GeneralSettingsViewController general;
            managetest::showInWindow(general);
            for (SettingCheckbox* checkbox : {general.btnLaunchAutomatically, general.btnScanOnAutoLaunch}) {
                SCOPED_TRACE(checkbox->key);
                widgettest::click(*checkbox);
                EXPECT_FALSE(checkbox->isChecked());
                ASSERT_TRUE(seams.sheetPending());
                EXPECT_EQ(seams.sheets.back().messageText, localizedText("IDS_BGX_270"));
                seams.answerSheet(alertFirstButtonReturn);
            }
            EXPECT_TRUE(LaunchOnStartupList().sessionLoginItemURLs().empty());

            setSheetPresenter({}); // the real sheet, for the grab
            widgettest::click(*general.btnLaunchAutomatically);
            managetest::grabWithSheet(general, "Settings-general-SettingsFileUnreadable");
            for (QMessageBox* box : general.window()->findChildren<QMessageBox*>())
                box->buttons().at(0)->click();
        });
        const std::string said = testing::internal::GetCapturedStderr();
        const std::string line = "Settings file " + file.string() +
                                 " cannot be opened (Permission denied): it is not read, and settings are not saved to it\n";
        EXPECT_NE(said.find(line), std::string::npos) << said;
        EXPECT_EQ(said.find(line), said.rfind(line)) << "said once: " << said;
    }
    EXPECT_EQ(testsupport::readFileText(file), bytes);
    EXPECT_FALSE(std::filesystem::exists(file.string() + ".corrupt"));
    EXPECT_EQ(standardDefaults().dictionaryRepresentation(), everyKey);
}

// The language combo box and the list it opens take the screens' dark look.
TEST_F(GeneralSettings, TheLanguageComboBoxAndItsListAreDark)
{
    managetest::withEnglish([] {
        GeneralSettingsViewController general;
        managetest::showInWindow(general);
        QComboBox& languages = *general.comboBoxSelectLanguage;
        EXPECT_TRUE(widgettest::nearColor(languages.palette().color(QPalette::Button), screenstyle::screenColor));
        languages.showPopup();
        QWidget& list = *languages.view();
        ASSERT_TRUE(list.isVisible());
        EXPECT_TRUE(widgettest::nearColor(list.palette().color(QPalette::Base), screenstyle::panelColor));
        EXPECT_TRUE(widgettest::nearColor(list.palette().color(QPalette::Highlight), screenstyle::accentColor));
        EXPECT_LT(widgettest::pixelAt(*list.window(), {0, 0}).lightness(), 100) << "the list's frame";
        widgettest::saveSettledGrab(general, "Settings-general-language");
        widgettest::saveGrab(*list.window(), "Settings-general-language-list");
        languages.hidePopup();
    });
}

using SettingsGrabs = ManageScreenTest;

TEST_F(SettingsGrabs, EachTabAtTheMainWindowsSize)
{
    const std::vector<std::string> paths = {testsupport::plantFile(testsupport::homeFolder() / "Downloads/Keep This Installer.dmg"),
                        testsupport::plantFile(testsupport::homeFolder() / "Documents/Reports/summary.pdf")};
    appGroupDefaults()->setObject(K::ignoreAllPaths, platform::Array(paths.begin(), paths.end()));
    standardDefaults().setObject(K::definitionLastUpdatedOnDate, platform::Date(std::chrono::system_clock::now()));
    platform::Bundle::setMainBundlePath(BG_APP_BUNDLE);
    std::filesystem::create_directories(std::filesystem::path(databasePath()).parent_path());
    std::filesystem::copy_file(std::string(BG_APP_BUNDLE) + "/Contents/Resources/BGX.db", databasePath());
    managetest::withEnglish([] {
        SettingsHarness harness;
        SettingsViewController& settings = harness.settings;
        managetest::showInWindow(settings);
        for (const auto& [menu, name] : std::vector<std::pair<SettingsMenu, QString>>{
                 {SettingsMenu::general, "Settings-general"},
                 {SettingsMenu::update, "Settings-update"},
                 {SettingsMenu::ignoreList, "Settings-ignore-list"}}) {
            settings.showSettingsTab(menu);
            widgettest::saveSettledGrab(settings, name);
        }
    });
}

// To a keyboard user with a screen reader, on each tab: every tab a page tab named by
// its caption, selected when shown; every control named; and each control a Tab
// reaches wearing the focus ring at 3:1 or more against its ground, each grabbed.
TEST_F(SettingsGrabs, TheKeyboardReachesNamedControlsEachInTheRing)
{
    managetest::withEnglish([] {
        SettingsHarness harness;
        SettingsViewController& settings = harness.settings;
        managetest::showInWindow(settings);
        settings.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&settings));
        const std::pair<SettingsMenu, QString> tabs[] = {
            {SettingsMenu::general, "General"}, {SettingsMenu::update, "Updates"}, {SettingsMenu::ignoreList, "Ignore List"}};
        for (const auto& [menu, caption] : tabs) {
            settings.showSettingsTab(menu);
            for (const auto& [each, eachCaption] : tabs) {
                QAccessibleInterface* face = QAccessible::queryAccessibleInterface(settings.tab(each).button);
                EXPECT_EQ(face->role(), QAccessible::PageTab);
                EXPECT_EQ(face->text(QAccessible::Name), eachCaption);
                EXPECT_TRUE(face->state().selectable);
                EXPECT_EQ(face->state().selected, each == menu) << eachCaption.toStdString();
            }
            widgettest::expectEveryFocusableControlNamed(settings);

            QWidget* first = settings.tab(menu).button;
            first->setFocus(Qt::OtherFocusReason);
            QTest::keyClick(first, Qt::Key_Tab);
            std::set<QWidget*> reached;
            for (QWidget* focused = QApplication::focusWidget(); focused && reached.insert(focused).second;
                 focused = QApplication::focusWidget()) {
                const std::string name = caption.toStdString() + ": " + focused->objectName().toStdString();
                if (!qobject_cast<QAbstractItemView*>(focused)) { // a table marks its current row
                    const widgettest::FocusRingSample ring = widgettest::focusRingAbove(*focused);
                    EXPECT_TRUE(ring.shown()) << name << ": " << ring.band.name().toStdString() << ", "
                                              << ring.contrast() << ":1 on " << ring.ground.name().toStdString();
                    const widgettest::FocusRingSample left = widgettest::focusRingLeftOf(*focused);
                    EXPECT_TRUE(left.shown()) << name << ", left side: " << left.band.name().toStdString() << ", "
                                              << left.contrast() << ":1 on " << left.ground.name().toStdString();
                    widgettest::saveGrab(settings, QString::fromStdString("Settings-focus-" + name).replace(": ", "-"));
                }
                QTest::keyClick(focused, Qt::Key_Tab);
            }
            EXPECT_TRUE(reached.contains(first)) << caption.toStdString() << ": Tab goes round";
        }
        QPushButton& updates = *settings.tab(SettingsMenu::update).button;
        updates.setFocus(Qt::TabFocusReason);
        QTest::keyClick(&updates, Qt::Key_Space);
        EXPECT_TRUE(QAccessible::queryAccessibleInterface(&updates)->state().selected) << "Space chooses a tab";
    });
}

} // namespace
