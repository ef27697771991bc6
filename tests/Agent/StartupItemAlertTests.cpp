#include "AlertWindowTest.h"

#include "Agent/AlertNotifications.h"
#include "Agent/StartupItemAlert.h"
#include "Controls/FlatButton.h"

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
    widgettest::saveGrab(*alert, "StartupItemAlert-launch-agent");

    post({{AlertKey::newStartupItem, std::string("/Applications/Brightlane Media Companion Helper for Safari.app")},
          {AlertKey::startupType, std::string(StartupType::loginItem)}});
    EXPECT_EQ(alert->lblStartupItem->text(), "Brightlane Media Companion Helper for Safari.app");
    EXPECT_EQ(alert->lblNewStartupItem->text(), text("IDS_BGX_192") + " (Login Item):");
    widgettest::saveGrab(*alert, "StartupItemAlert-login-item");
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
