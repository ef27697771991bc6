#include "Controls/FlatButton.h"
#include "Platform/Authorization/AuthorizationAgent.h"
#include "Platform/Dispatch/Dispatch.h"
#include "AuthorizationDialogAnswerer.h"
#include "Screens/Common/AuthorizationDialog.h"
#include "Screens/Common/AuthorizationPrompt.h"
#include "Screens/Common/ScreenStyle.h"
#include "WidgetTestSupport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <thread>

using namespace std::chrono_literals;
using platform::AuthorizationAgent;
using platform::AuthorizationAnswer;

namespace {

const platform::AuthorizationRequest removal{{"system.privilege.admin"},
                                             "Removing \u201c/Applications/Snapfyre.app\u201d for good needs an "
                                             "administrator\u2019s rights."};

void pressEscape(QWidget& widget)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
}

class AuthorizationPromptTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QGuiApplication::setApplicationDisplayName("Bastion Guardpoint");
        installAuthorizationPrompt();
    }
    void TearDown() override { AuthorizationAgent::reset(); }
};

TEST_F(AuthorizationPromptTest, TheInstalledPromptAsksWithTheDialogFromAnyThread)
{
    struct Case {
        const char* name;
        std::function<void(AuthorizationDialog&)> act;
        AuthorizationAnswer answer;
    };
    const Case cases[] = {
        {"Allow", [](AuthorizationDialog& dialog) { widgettest::click(*dialog.btnAllow); }, AuthorizationAnswer::Grant},
        {"Cancel", [](AuthorizationDialog& dialog) { widgettest::click(*dialog.btnCancel); }, AuthorizationAnswer::Cancel},
        {"Escape", [](AuthorizationDialog& dialog) { pressEscape(dialog); }, AuthorizationAnswer::Cancel},
        {"closed", [](AuthorizationDialog& dialog) { dialog.close(); }, AuthorizationAnswer::Cancel},
    };
    for (const Case& test : cases) {
        screentest::AuthorizationDialogAnswerer onMainThread(test.act);
        EXPECT_EQ(AuthorizationAgent::ask(removal), test.answer) << test.name;
        EXPECT_EQ(onMainThread.headline, "Bastion Guardpoint asks for your permission");
        EXPECT_EQ(onMainThread.action.toStdString(), removal.prompt);

        // A worker (the clean) waits while the main thread shows the dialog.
        screentest::AuthorizationDialogAnswerer fromWorker(test.act);
        std::optional<AuthorizationAnswer> answer;
        std::thread worker([&] { answer = AuthorizationAgent::ask(removal); });
        const bool answered = platform::dispatch::runMainLoopUntil([&] { return fromWorker.shown; }, 10s);
        worker.join();
        EXPECT_TRUE(answered) << test.name;
        EXPECT_EQ(answer, test.answer) << test.name;
    }
}

TEST(AuthorizationDialog, ShowsTheProgramAndTheStepInTheProductsDarkLook)
{
    AuthorizationDialog dialog("Bastion Guardpoint", QString::fromStdString(removal.prompt));
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Bastion Guardpoint");
    EXPECT_TRUE(dialog.isModal());
    EXPECT_EQ(dialog.btnAllow->text(), "Allow");
    EXPECT_EQ(dialog.btnCancel->text(), "Cancel");
    widgettest::saveSettledGrab(dialog, "AuthorizationDialog");
    EXPECT_TRUE(widgettest::nearColor(widgettest::pixelAt(dialog, {4, 4}), QColor(22, 32, 43)));
    EXPECT_TRUE(widgettest::nearColor(widgettest::pixelAt(dialog, {4, dialog.height() - 4}), screenstyle::screenColor));
    const QPoint allowCentre = dialog.btnAllow->geometry().center() + dialog.btnAllow->parentWidget()->pos();
    EXPECT_TRUE(widgettest::nearColor(widgettest::pixelAt(dialog, allowCentre + QPoint(0, 10)), screenstyle::accentColor));

    // Without a text of the step, the dialog still says who asks.
    AuthorizationDialog general("ActiveGuardSentinelWarden", "");
    EXPECT_EQ(general.lblAction->text(), "ActiveGuardSentinelWarden is trying to perform a privileged operation.");
    widgettest::saveSettledGrab(general, "AuthorizationDialog-agent");
}

} // namespace
