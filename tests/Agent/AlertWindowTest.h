#pragma once

#include "Foundation/PresentationSlots.h"
#include "Foundation/Settings.h"
#include "Foundation/TextTable.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Notifications/NotificationCenter.h"
#include "TestRoot.h"
#include "WidgetTestSupport.h"

#include <QApplication>
#include <QWidget>

#include <chrono>
#include <string>

// A platform root with the agent's bundle as the main bundle and its English
// text table loaded, for the alert windows.
class AlertWindowTest : public testsupport::PlatformRootTest {
protected:
    void SetUp() override
    {
        PlatformRootTest::SetUp();
        platform::Bundle::setMainBundlePath(BG_AGENT_BUNDLE);
        languageTable() = readBundlePlist("English");
    }

    // Shows the window and hands it `userInfo` the way the factory does.
    static void showWith(QWidget& window, const char* notification, platform::UserInfo userInfo)
    {
        window.show();
        platform::NotificationCenter::defaultCenter().post(notification, std::move(userInfo));
        QApplication::processEvents();
    }

    static QString text(const char* key) { return QString::fromStdString(localizedText(key)); }

    static bool waitFor(const std::function<bool()>& done)
    {
        return platform::dispatch::runMainLoopUntil(done, std::chrono::seconds(20));
    }
};
