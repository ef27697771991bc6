#include "Foundation/IndexVocabularies.h"

#include "Platform/Notifications/NotificationCenter.h"

#include <gtest/gtest.h>

#include <optional>

static_assert(static_cast<int>(Menu::settings) == 4 && static_cast<int>(Menu::startupManager) == 3);
static_assert(static_cast<int>(ScanMenu::cleanProcess) == 2);
static_assert(static_cast<int>(CleanMenu::result) == 1);
static_assert(static_cast<int>(SettingsMenu::ignoreList) == 2);
static_assert(static_cast<int>(StartupItemsState::cleanStartupItems) == 1);

TEST(IndexVocabularies, MenuEntryIsReadBackOnlyAsItsOwnEnumeration)
{
    auto& center = platform::NotificationCenter::defaultCenter();
    std::optional<Menu> received;
    int deliveries = 0;
    auto token = center.addObserver("MenuSelectionBGX", [&](const platform::Notification& note) {
        ++deliveries;
        if (const Menu* menu = note.value<Menu>(menuKey))
            received = *menu;
    });

    center.post("MenuSelectionBGX", {{menuKey, Menu::startupManager}});
    EXPECT_EQ(received, Menu::startupManager);

    received.reset();
    center.post("MenuSelectionBGX", {{menuKey, 3}});
    center.post("MenuSelectionBGX", {{menuKey, ScanMenu::scanresult}});
    center.post("MenuSelectionBGX", {{"other", Menu::scan}});
    EXPECT_EQ(deliveries, 4);
    EXPECT_EQ(received, std::nullopt);
}
