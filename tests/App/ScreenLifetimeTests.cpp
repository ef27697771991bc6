#include "AppShellTest.h"

#include "App/AllViewControllers.h"
#include "App/InitialWindowController.h"
#include "App/ViewController.h"
#include "Controls/CustomAnimator.h"
#include "Foundation/PresentationSlots.h"
#include "Screens/Manage/AboutVC.h"
#include "Screens/Manage/CleanProcessStartupItemsViewController.h"
#include "Screens/Manage/GeneralSettingsViewController.h"
#include "Screens/Manage/IgnoreListViewController.h"
#include "Screens/Manage/ProtectionViewController.h"
#include "Screens/Manage/SettingsViewController.h"
#include "Screens/Manage/StartupItemsViewController.h"
#include "Screens/Manage/StartupMangerViewController.h"
#include "Screens/Manage/UpdateSettingsViewController.h"
#include "Screens/Scan/CleanProcessViewController.h"
#include "Screens/Scan/OverviewViewController.h"
#include "Screens/Scan/ScanProcessViewController.h"
#include "Screens/Scan/ScanResultViewController.h"
#include "Screens/Scan/ScanViewController.h"

#include <QPointer>

#include <gtest/gtest.h>

#include <vector>

namespace {

// The main window and every screen of the factory, the sidebar's shown once in the
// window (but the scan container, which would start a scan).
std::vector<QPointer<QWidget>> makeEveryScreen()
{
    ViewController& content = AllViewControllers::initialWindowController().contentViewController();
    for (const Menu menu : {Menu::protection, Menu::startupManager, Menu::settings, Menu::overview})
        content.selectMenu(menu);
    return {&AllViewControllers::initialWindowController(),
            &AllViewControllers::overviewViewController(),
            &AllViewControllers::scanViewController(),
            &AllViewControllers::protectionViewController(),
            &AllViewControllers::startupMangerViewController(),
            &AllViewControllers::settingsViewController(),
            &AllViewControllers::scanProcessViewController(),
            &AllViewControllers::scanResultViewController(),
            &AllViewControllers::cleanProcessViewController(),
            &AllViewControllers::startupItemsViewController(),
            &AllViewControllers::cleanProcessStartupItemsViewController(),
            &AllViewControllers::generalSettingsViewController(),
            &AllViewControllers::updateSettingsViewController(),
            &AllViewControllers::ignoreListViewController(),
            &AllViewControllers::about()};
}

// Every window and screen of the factory ends once, with its presentation animator,
// and the factory makes a sound new set afterwards.
TEST_F(AppShellTest, EveryScreenOfTheFactoryCanBeDestroyedAndMadeAnew)
{
    for (int round = 0; round < 2; ++round) {
        const std::vector<QPointer<QWidget>> screens = makeEveryScreen();
        ASSERT_TRUE(sharedAnimator());
        AllViewControllers::releaseAll();
        for (const QPointer<QWidget>& screen : screens)
            EXPECT_FALSE(screen);
        EXPECT_FALSE(AllViewControllers::hasInitialWindowController());
        EXPECT_FALSE(sharedAnimator()) << "the animator ends with the window's content";
    }
}

} // namespace
