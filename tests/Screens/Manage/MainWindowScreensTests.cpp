#include "AppShellTest.h"
#include "WidgetTestSupport.h"

#include "App/AllViewControllers.h"
#include "App/InitialWindowController.h"
#include "App/ViewController.h"
#include "Foundation/IndexVocabularies.h"
#include "Screens/Manage/SettingsViewController.h"
#include "Screens/Manage/UpdateSettingsViewController.h"

#include <gtest/gtest.h>

namespace {

using MainWindowScreens = AppShellTest;

// The sidebar shows the screens in the main window, and the Overview's way to the
// Update tab (the Settings entry, then the tab) reaches the factory's update screen.
TEST_F(MainWindowScreens, SettingsOpensOnTheUpdateTabAsTheOverviewAsksAndEachScreenIsGrabbedInTheWindow)
{
    ViewController& content = AllViewControllers::initialWindowController().contentViewController();
    content.show();
    auto& center = platform::NotificationCenter::defaultCenter();

    center.post("MenuSelectionBGX", {{menuKey, Menu::protection}});
    widgettest::saveGrab(content, "MainWindow-protection");

    center.post("MenuSelectionBGX", {{menuKey, Menu::settings}});
    center.post("SettingViewUpdateBGX", {{menuKey, SettingsMenu::update}});
    SettingsViewController& settings = AllViewControllers::settingsViewController();
    EXPECT_EQ(AllViewControllers::updateSettingsViewController().parentWidget(), settings.containerView.data());
    widgettest::saveGrab(content, "MainWindow-settings-update");
}

} // namespace
