#pragma once

#include "AgentTest.h"

#include "Foundation/PresentationSlots.h"
#include "Foundation/Settings.h"
#include "Foundation/TextTable.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Notifications/NotificationCenter.h"

#include <QApplication>
#include <QWidget>

#include <functional>
#include <string>

// The agent's world with its English text table loaded, for the alert windows.
class AlertWindowTest : public AgentTest {
protected:
    void SetUp() override
    {
        AgentTest::SetUp();
        languageTable() = readBundlePlist("English");
    }

    // Shows the window and hands it `userInfo` the way the window factory does.
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
