#include "Screens/Common/AppearingScreen.h"
#include "Screens/Common/ScreenContainer.h"

#include "AccessibleEventLog.h"

#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A screen that logs its steps, and whether it was visible at each; its one button is
// its main control.
class LoggingScreen : public QWidget, public AppearingScreen {
public:
    LoggingScreen(std::string name, std::vector<std::string>& log)
        : name_(std::move(name)), log_(log), button(new QPushButton(QString::fromStdString(name_), this))
    {
    }
    void viewWillAppear() override { log_.push_back(name_ + " will" + (isVisible() ? " (shown)" : "")); }
    void viewDidAppear() override { log_.push_back(name_ + " did" + (isVisible() ? " (shown)" : "")); }
    QWidget* mainControl() override { return button; }

private:
    std::string name_;
    std::vector<std::string>& log_;

public:
    QPushButton* button;
};

class ScreenContainerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(300, 200);
        container = new QWidget(&window);
        container->setGeometry(10, 10, 200, 150);
        sidebar->setGeometry(220, 10, 60, 30); // before the screens in the tab chain
        window.show();
    }

    std::vector<std::string> log;
    QWidget window;
    QWidget* container = nullptr;
    QPushButton* sidebar = new QPushButton("Overview", &window);
    LoggingScreen first{"first", log};
    LoggingScreen second{"second", log};
};

TEST_F(ScreenContainerTest, ShowsOneScreenFillingTheContainerWithItsStepsAroundTheShow)
{
    showScreen(*container, first);
    EXPECT_EQ(log, (std::vector<std::string>{"first will", "first did (shown)"}));
    EXPECT_EQ(first.parentWidget(), container);
    EXPECT_EQ(first.geometry(), container->rect());

    showScreen(*container, second);
    EXPECT_EQ(first.parentWidget(), nullptr) << "the screen before leaves the container, kept alive";
    EXPECT_FALSE(first.isVisible());
    EXPECT_EQ(container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly), QList<QWidget*>{&second});
    EXPECT_EQ(log.back(), "second did (shown)");
}

TEST_F(ScreenContainerTest, StepsRunPerShowingNotWhenTheWindowIsShownAgain)
{
    showScreen(*container, first);
    log.clear();
    window.hide();
    window.show();
    EXPECT_TRUE(log.empty());

    showScreen(*container, first);
    EXPECT_EQ(log, (std::vector<std::string>{"first will (shown)", "first did (shown)"}))
        << "showing the screen on show again runs its steps again";
}

// The keyboard in the screen that goes moves once, straight to the main control of the
// screen that comes: a screen reader hears that, not the first control of the window.
TEST_F(ScreenContainerTest, TheKeyboardGoesStraightToTheNewScreensMainControl)
{
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    showScreen(*container, first);
    first.button->setFocus(Qt::TabFocusReason);
    const widgettest::AccessibleEventLog reader;
    showScreen(*container, second);
    EXPECT_EQ(QApplication::focusWidget(), second.button);
    const auto moves = reader.of(QAccessible::Focus, window);
    ASSERT_EQ(moves.size(), 1u) << "one focus event for the screen change";
    EXPECT_EQ(moves[0].name, "second");

    sidebar->setFocus(Qt::TabFocusReason);
    showScreen(*container, first);
    EXPECT_EQ(QApplication::focusWidget(), sidebar) << "the keyboard outside the container stays where it is";
    first.setParent(nullptr);
}

TEST_F(ScreenContainerTest, PlainWidgetsNeedNoSteps)
{
    QWidget plain;
    showScreen(*container, plain);
    EXPECT_EQ(plain.parentWidget(), container);
    EXPECT_TRUE(plain.isVisible());
    plain.setParent(nullptr);
}

} // namespace
