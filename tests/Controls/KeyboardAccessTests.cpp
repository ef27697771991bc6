#include "Controls/FlatButton.h"
#include "Controls/HyperlinkTextField.h"
#include "Controls/ToggleSwitch.h"

#include "WidgetTestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using widgettest::NotificationRecorder;

namespace {

// An active window on a dark panel holding the controls, as the screens place them.
class KeyboardAccess : public ::testing::Test {
protected:
    KeyboardAccess()
    {
        window.setAutoFillBackground(true);
        window.setPalette(QPalette(QColor(43, 43, 43)));
        row->setContentsMargins(12, 12, 12, 12);
        row->setSpacing(16);
    }

    void showActive()
    {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        if (QWidget* focused = QApplication::focusWidget()) // an activated window focuses its first control
            focused->clearFocus();
    }

    void press(int key)
    {
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClick(focused ? focused : &window, static_cast<Qt::Key>(key));
    }

    QWidget window;
    QHBoxLayout* row = new QHBoxLayout(&window);
};

ToggleSwitch* addSwitch(QWidget& window, QHBoxLayout& row, const QString& name)
{
    auto* toggle = new ToggleSwitch(&window);
    toggle->setFixedSize(56, 30);
    toggle->setFillColor(QColor(0, 104, 218));
    toggle->setOutlineColor(QColor(110, 110, 110));
    toggle->setBackColor(QColor(43, 43, 43));
    toggle->setAccessibleName(name);
    row.addWidget(toggle);
    return toggle;
}

// A filled, rounded flat button with a white title, as the screens' prominent actions.
FlatButton* addFlatButton(QWidget& window, const QString& title, const QColor& fill)
{
    auto* button = new FlatButton(&window);
    button->setFixedSize(170, 42);
    button->setCornerRadius(21);
    for (auto set : {&FlatButton::setNormalColor, &FlatButton::setBackgroundNormalColor,
                     &FlatButton::setBackgroundHighlightColor, &FlatButton::setBorderNormalColor})
        (button->*set)(fill);
    button->setTitleNormalColor(Qt::white);
    button->setText(title);
    button->finishAnimations();
    window.layout()->addWidget(button);
    return button;
}

} // namespace

TEST_F(KeyboardAccess, TabReachesEachSwitchAndSpaceFlipsItAsAClickDoes)
{
    ToggleSwitch* first = addSwitch(window, *row, "Active Protection");
    ToggleSwitch* second = addSwitch(window, *row, "Startup Protection");
    first->statetag = ToggleSwitch::protectionTag;
    second->statetag = ToggleSwitch::protectionTag;
    second->toggleId = "StartupProtection";
    std::vector<bool> calledBack;
    second->callback = [&](bool on) { calledBack.push_back(on); };
    NotificationRecorder protections(toggleProtectionNotificationName);
    showActive();

    first->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), second);
    press(Qt::Key_Space);
    second->finishAnimations();
    EXPECT_TRUE(second->isOn());
    EXPECT_FALSE(first->isOn());
    ASSERT_EQ(protections.received().size(), 1u);
    EXPECT_EQ(*protections.received()[0].value<bool>("isOn"), true);
    EXPECT_EQ(*protections.received()[0].value<std::string>("toggleId"), "StartupProtection");
    EXPECT_EQ(calledBack, std::vector<bool>{true});

    second->statetag = ToggleSwitch::ignoresClicksTag;
    press(Qt::Key_Space);
    second->finishAnimations();
    EXPECT_TRUE(second->isOn()) << "a switch that ignores clicks ignores Space too";
    EXPECT_EQ(protections.received().size(), 1u);
    press(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), first) << "Tab goes on round the chain";
}

TEST_F(KeyboardAccess, ASwitchIsANamedCheckBoxWithItsStateAndAToggleAction)
{
    ToggleSwitch* toggle = addSwitch(window, *row, "Active Protection");
    toggle->statetag = 3;
    NotificationRecorder toggles(toggleNotificationName);
    showActive();
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(toggle);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::CheckBox);
    EXPECT_EQ(face->text(QAccessible::Name), "Active Protection");
    EXPECT_TRUE(face->state().checkable);
    EXPECT_FALSE(face->state().checked);
    EXPECT_TRUE(face->state().focusable);

    QAccessibleActionInterface* actions = face->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    actions->doAction(QAccessibleActionInterface::toggleAction());
    toggle->finishAnimations();
    EXPECT_TRUE(toggle->isOn());
    EXPECT_TRUE(face->state().checked);
    ASSERT_EQ(toggles.received().size(), 1u);
    EXPECT_EQ(*toggles.received()[0].value<std::optional<int>>("index"), 3);

    toggle->statetag = ToggleSwitch::ignoresClicksTag;
    EXPECT_TRUE(face->state().disabled);
    actions->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(toggle->isOn());
}

// Each kind of control, on a dark and on a white ground: after mouse use alone the
// focus shows no ring, even when a program moves it; a key brings the one ring back
// outside the control's edge, and it moves on with the focus.
TEST_F(KeyboardAccess, EachControlWearsTheOneRingOutsideItsEdgeForTheKeyboardOnly)
{
    FlatButton* blue = addFlatButton(window, "Refresh", QColor(0, 104, 218));
    auto* push = new QPushButton("Details", &window);
    auto* check = new QCheckBox("Launch at login", &window);
    auto* link = new HyperlinkTextField("Rescan", &window);
    for (QWidget* control : std::initializer_list<QWidget*>{push, check, link})
        row->addWidget(control);
    const std::vector<QWidget*> controls{blue, push, check, link, addSwitch(window, *row, "Active Protection")};
    showActive();

    for (const QColor& ground : {QColor(43, 43, 43), QColor(Qt::white)}) {
        window.setPalette(QPalette(ground));
        for (std::size_t index = 0; index < controls.size(); ++index) {
            QWidget& control = *controls[index];
            const std::string name
                = control.metaObject()->className() + std::string(ground == Qt::white ? " on white" : " on dark");
            widgettest::click(window, {2, 2});
            control.setFocus(Qt::OtherFocusReason);
            ASSERT_EQ(QApplication::focusWidget(), &control) << name;
            EXPECT_FALSE(widgettest::focusRingAbove(control).shown()) << name << ": no ring after the mouse";

            press(index == 0 ? Qt::Key_Backtab : Qt::Key_Tab);
            press(index == 0 ? Qt::Key_Tab : Qt::Key_Backtab);
            ASSERT_EQ(QApplication::focusWidget(), &control) << name;
            const widgettest::FocusRingSample ring = widgettest::focusRingAbove(control);
            EXPECT_TRUE(ring.shown()) << name << ": band " << ring.band.name().toStdString() << ", "
                                      << ring.contrast() << ":1 on " << ring.ground.name().toStdString();
            widgettest::saveGrab(window, QString::fromStdString("focus-ring-" + name).replace(' ', '-'));
            press(Qt::Key_Tab);
            EXPECT_FALSE(widgettest::focusRingAbove(control).shown()) << name << ": the ring moves with the focus";
        }
    }
}

TEST_F(KeyboardAccess, AFlatButtonTakesNoFocusFromAClickAndSpacePressesIt)
{
    FlatButton* button = addFlatButton(window, "Clean Now", QColor(226, 123, 34));
    int clicks = 0;
    QObject::connect(button, &FlatButton::clicked, [&] { ++clicks; });
    showActive();
    widgettest::click(*button, {80, 20});
    EXPECT_NE(QApplication::focusWidget(), button) << "a click leaves the look as it was";

    press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), button);
    EXPECT_TRUE(widgettest::focusRingAbove(*button).shown());
    press(Qt::Key_Space);
    EXPECT_EQ(clicks, 2);
}

TEST_F(KeyboardAccess, ALinkIsInTheTabChainActsOnSpaceOrReturnAndHasAPressAction)
{
    auto* link = new HyperlinkTextField("Rescan", &window);
    QPalette colours = link->palette();
    colours.setColor(QPalette::WindowText, QColor(161, 161, 161));
    link->setPalette(colours);
    link->setContentsMargins(6, 4, 6, 4);
    row->addWidget(link);
    int clicks = 0;
    QObject::connect(link, &HyperlinkTextField::clicked, [&] { ++clicks; });
    showActive();

    press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), link);
    press(Qt::Key_Space);
    press(Qt::Key_Return);
    EXPECT_EQ(clicks, 2);

    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(link);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::Link);
    EXPECT_EQ(face->text(QAccessible::Name), "Rescan");
    face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks, 3);
}
