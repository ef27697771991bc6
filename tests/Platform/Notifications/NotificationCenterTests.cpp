#include "Platform/Notifications/NotificationCenter.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using platform::NotificationCenter;
using platform::ObservationToken;

enum class Menu { overview, scan, protection, startupManager, settings };

NotificationCenter& center()
{
    return NotificationCenter::defaultCenter();
}

TEST(NotificationCenter, DeliversByNameInOrderOfAdding)
{
    std::string order;
    auto first = center().addObserver("OrderBGX", [&](const auto&) { order += '1'; });
    auto other = center().addObserver("OtherBGX", [&](const auto&) { order += 'x'; });
    auto second = center().addObserver("OrderBGX", [&](const auto&) { order += '2'; });
    center().post("OrderBGX");
    EXPECT_EQ(order, "12");
}

TEST(NotificationCenter, MenuEntryIsFoundOnlyAsItsEnumeration)
{
    std::vector<std::optional<Menu>> received;
    auto token = center().addObserver("MenuSelectionBGX", [&](const platform::Notification& note) {
        const Menu* menu = note.value<Menu>("menu");
        received.push_back(menu ? std::optional(*menu) : std::nullopt);
    });
    center().post("MenuSelectionBGX", {{"menu", Menu::startupManager}});
    center().post("MenuSelectionBGX", {{"menu", 3}});
    center().post("MenuSelectionBGX");
    EXPECT_EQ(received, (std::vector<std::optional<Menu>>{Menu::startupManager, std::nullopt, std::nullopt}));
}

TEST(NotificationCenter, PrebuiltNotificationReachesItsNameOnly)
{
    std::vector<std::string> paths;
    auto token = center().addObserver("PrebuiltBGX", [&](const platform::Notification& note) {
        paths.push_back(*note.value<std::string>("path"));
    });
    auto other = center().addObserver("OtherBGX", [&](const auto&) { paths.push_back("other"); });
    platform::Notification note{"PrebuiltBGX", {}, {{"path", std::string("a")}}};
    center().post(note);
    note.userInfo["path"] = std::string("b");
    center().post(note);
    EXPECT_EQ(paths, (std::vector<std::string>{"a", "b"}));
}

TEST(NotificationCenter, DestroyedTokenEndsTheObservation)
{
    int calls = 0;
    auto token = center().addObserver("TokenBGX", [&](const auto&) { ++calls; });
    center().post("TokenBGX");
    token.reset();
    center().post("TokenBGX");
    EXPECT_EQ(calls, 1);
}

TEST(NotificationCenter, HandlersMayAddAndRemoveObserversDuringAPost)
{
    std::string order;
    ObservationToken later;
    ObservationToken added;
    auto first = center().addObserver("ReentrantBGX", [&](const auto&) {
        order += '1';
        later.reset();
        added = center().addObserver("ReentrantBGX", [&](const auto&) { order += 'n'; });
    });
    later = center().addObserver("ReentrantBGX", [&](const auto&) { order += '2'; });
    center().post("ReentrantBGX");
    EXPECT_EQ(order, "1");
    first.reset();
    center().post("ReentrantBGX");
    EXPECT_EQ(order, "1n");
}

TEST(NotificationCenter, PostFromAnotherThreadIsDeliveredOnThatThread)
{
    std::thread::id deliveredOn;
    std::string object;
    auto token = center().addObserver("ThreadBGX", [&](const platform::Notification& note) {
        deliveredOn = std::this_thread::get_id();
        object = std::any_cast<std::string>(note.object);
    });
    std::thread::id poster;
    std::thread([&] {
        poster = std::this_thread::get_id();
        center().post("ThreadBGX", {}, std::string("sender"));
    }).join();
    EXPECT_EQ(deliveredOn, poster);
    EXPECT_EQ(object, "sender");
}

} // namespace
