#include "AlertWindowTest.h"

#include "Agent/AlertNotifications.h"
#include "Agent/StartupItemAlert.h"
#include "Controls/FlatButton.h"
#include "Controls/HandCursorButton.h"

namespace {

class StartupItemAlertTest : public AlertWindowTest {
protected:
    void SetUp() override
    {
        AlertWindowTest::SetUp();
        alert = std::make_unique<ViewControllerRT>();
    }

    void post(platform::UserInfo userInfo) { showWith(*alert, AlertNotification::newStartupItem, std::move(userInfo)); }

    std::unique_ptr<ViewControllerRT> alert;
};

TEST_F(StartupItemAlertTest, ShowsTheItemsLastPathComponentUnderACaptionNamingItsType)
{
    EXPECT_EQ(alert->lblNewStartupItem->text(), text("IDS_BGX_192"));
    EXPECT_EQ(alert->btnManageNow->text(), text("IDS_BGX_189"));
    post({{AlertKey::newStartupItem, std::string("/Users/someone/Library/LaunchAgents/com.example.agent.plist")},
          {AlertKey::startupType, std::string(StartupType::launchAgent)}});
    EXPECT_EQ(alert->lblStartupItem->text(), "com.example.agent.plist");
    EXPECT_EQ(alert->lblNewStartupItem->text(), text("IDS_BGX_192") + " (Launch Agent):");
    EXPECT_TRUE(alert->queuePlace().isHidden()) << "one item alone shows no place";
    widgettest::saveGrab(*alert, "StartupItemAlert-launch-agent");
}

// Items that come while one is shown wait in order; Close and Manage Now each
// show the next, and the window closes after the last.
TEST_F(StartupItemAlertTest, ItemsThatComeWhileOneIsShownAreShownOneAfterAnother)
{
    const auto item = [](const std::string& path, const char* type) {
        return platform::UserInfo{{AlertKey::newStartupItem, path}, {AlertKey::startupType, std::string(type)}};
    };
    post(item("/Users/someone/Library/LaunchAgents/com.example.agent.plist", StartupType::launchAgent));
    post(item("/Applications/Brightlane Media Companion Helper for Safari.app", StartupType::loginItem));
    post(item("/Users/someone/Library/LaunchAgents/com.example.agent.plist", StartupType::launchAgent)); // the same
    post(item("/Applications/Tool.app", StartupType::loginItem));
    EXPECT_EQ(alert->lblStartupItem->text(), "com.example.agent.plist");
    EXPECT_EQ(alert->queuePlace().text(), "1 " + text("IDS_BGX_261") + " 3");

    widgettest::click(*alert->btnClose);
    EXPECT_TRUE(alert->isVisible());
    EXPECT_EQ(alert->lblStartupItem->text(), "Brightlane Media Companion Helper for Safari.app");
    EXPECT_EQ(alert->lblNewStartupItem->text(), text("IDS_BGX_192") + " (Login Item):");
    EXPECT_EQ(alert->queuePlace().text(), "2 " + text("IDS_BGX_261") + " 3");
    widgettest::saveGrab(*alert, "StartupItemAlert-login-item-2-of-3");

    alert->clickedManageNow();
    EXPECT_TRUE(alert->isVisible());
    EXPECT_EQ(alert->lblStartupItem->text(), "Tool.app");
    EXPECT_EQ(alert->queuePlace().text(), "3 " + text("IDS_BGX_261") + " 3");

    widgettest::click(*alert->btnClose);
    EXPECT_FALSE(alert->isVisible());
    post(item("/Applications/Later.app", StartupType::loginItem));
    EXPECT_EQ(alert->lblStartupItem->text(), "Later.app");
    EXPECT_TRUE(alert->queuePlace().isHidden()) << "a new round";
}

TEST_F(StartupItemAlertTest, AnIncompletePayloadChangesNothing)
{
    post({{AlertKey::newStartupItem, std::string("Helper")}, {AlertKey::startupType, std::string("Login Item")}});
    for (const platform::UserInfo& payload :
         {platform::UserInfo{{AlertKey::newStartupItem, std::string("Other")}},
          platform::UserInfo{{AlertKey::newStartupItem, std::string("Other")}, {AlertKey::startupType, 3}},
          platform::UserInfo{{AlertKey::startupType, std::string("Launch Agent")}}}) {
        post(payload);
        EXPECT_EQ(alert->lblStartupItem->text(), "Helper");
        EXPECT_EQ(alert->lblNewStartupItem->text(), text("IDS_BGX_192") + " (Login Item):");
    }
}

} // namespace
