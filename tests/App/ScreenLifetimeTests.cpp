#include "AppShellTest.h"
#include "FactoryScreens.h"

#include "App/AllViewControllers.h"
#include "App/InitialWindowController.h"
#include "App/ViewController.h"
#include "Controls/CustomAnimator.h"
#include "Foundation/PresentationSlots.h"

#include <QPointer>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Every window and screen of the factory ends once, with its presentation animator,
// and the factory makes a sound new set afterwards. The sidebar's screens are shown
// in the window first (but the scan container, which would start a scan).
TEST_F(AppShellTest, EveryScreenOfTheFactoryCanBeDestroyedAndMadeAnew)
{
    for (int round = 0; round < 2; ++round) {
        ViewController& content = AllViewControllers::initialWindowController().contentViewController();
        for (const Menu menu : {Menu::protection, Menu::startupManager, Menu::settings, Menu::overview})
            content.selectMenu(menu);
        std::vector<QPointer<QWidget>> made{&AllViewControllers::initialWindowController()};
        for (QWidget* screen : everyFactoryScreen())
            made.emplace_back(screen);
        ASSERT_TRUE(sharedAnimator());

        AllViewControllers::releaseAll();
        for (const QPointer<QWidget>& each : made)
            EXPECT_FALSE(each);
        EXPECT_FALSE(AllViewControllers::hasInitialWindowController());
        EXPECT_FALSE(sharedAnimator()) << "the animator ends with the window's content";
    }
}

} // namespace
