#include "Controls/CustomAnimator.h"

#include "WidgetTestSupport.h"
#include "Foundation/PresentationSlots.h"
#include "Foundation/Settings.h"
#include "TestRoot.h"

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using widgettest::nearColor;
using widgettest::pixelAt;

namespace {

QWidget* colouredView(const QColor& colour, QWidget* parent = nullptr)
{
    auto* view = new QWidget(parent);
    view->setAutoFillBackground(true);
    view->setPalette(QPalette(colour));
    return view;
}

// A shown 400 x 300 window whose content is a white button under whatever is presented.
class CustomAnimatorTest : public testsupport::PlatformRootTest {
protected:
    void SetUp() override
    {
        PlatformRootTest::SetUp();
        window.resize(400, 300);
        under = new QPushButton(&window);
        under->setGeometry(window.rect());
        under->setStyleSheet("background: white; border: none;");
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        presented.reset(colouredView(QColor(0, 0, 200)));
    }

    void TearDown() override
    {
        animator.finishAnimations();
        delete dimmingOverlay().data();
    }

    std::optional<bool> isPopUp() const { return standardDefaults().boolean(SettingsKey::isPopUp); }

    // A click as the window system delivers it: to whatever lies at the point.
    void clickWindowAt(QPoint point) { QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, point); }

    QWidget window;
    QPushButton* under = nullptr;
    std::unique_ptr<QWidget> presented;
    CustomAnimator animator{0.5, QRect(0, 0, 400, 300)};
};

} // namespace

TEST_F(CustomAnimatorTest, PresentationDimsTheWindowAndGrowsTheViewToFillIt)
{
    standardDefaults().setBool(SettingsKey::isPopUp, false);
    animator.animatePresentation(*presented, window);
    EXPECT_EQ(isPopUp(), true) << "as soon as it starts";
    ASSERT_TRUE(dimmingOverlay());
    EXPECT_EQ(dimmingOverlay()->parentWidget(), &window);
    EXPECT_EQ(dimmingOverlay()->geometry(), window.rect());
    EXPECT_EQ(presented->parentWidget(), &window);
    EXPECT_EQ(presented->geometry(), QRect(0, 50 - 300, 400, 300)) << "bottom edge 50 below the top";
    EXPECT_DOUBLE_EQ(CustomAnimator::alpha(*presented), 0.0);
    // White under black at 0.7.
    EXPECT_TRUE(nearColor(pixelAt(window, {200, 150}), QColor(77, 77, 77)));
    widgettest::saveGrab(window, "CustomAnimator-dimmed");

    animator.finishAnimations();
    EXPECT_EQ(presented->geometry(), window.rect());
    EXPECT_DOUBLE_EQ(CustomAnimator::alpha(*presented), 1.0);
    EXPECT_TRUE(nearColor(pixelAt(window, {200, 150}), QColor(0, 0, 200)));
    widgettest::saveGrab(window, "CustomAnimator-presented");
    window.resize(500, 320);
    EXPECT_EQ(presented->geometry(), QRect(0, 0, 500, 320)) << "keeps filling the window";
    EXPECT_EQ(dimmingOverlay()->geometry(), QRect(0, 0, 500, 320));
}

TEST_F(CustomAnimatorTest, ClicksOnTheOverlayNeverReachWhatLiesUnder)
{
    QSignalSpy clicks(under, &QPushButton::clicked);
    clickWindowAt({200, 150});
    ASSERT_EQ(clicks.count(), 1) << "reachable without an overlay";
    animator.animatePresentation(*presented, window);
    animator.finishAnimations();
    presented->hide();
    clickWindowAt({200, 150});
    clickWindowAt({200, 10});
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(CustomAnimatorTest, DismissalClearsTheFlagAtOnceAndRemovesViewAndOverlayAtTheEnd)
{
    animator.animatePresentation(*presented, window);
    animator.finishAnimations();
    animator.animateDismissal(*presented, window);
    EXPECT_EQ(isPopUp(), false) << "before the fade-out ends";
    EXPECT_EQ(presented->parentWidget(), &window);
    EXPECT_TRUE(dimmingOverlay());
    animator.finishAnimations();
    EXPECT_EQ(presented->parentWidget(), nullptr);
    EXPECT_DOUBLE_EQ(CustomAnimator::alpha(*presented), 1.0);
    EXPECT_FALSE(dimmingOverlay());
    EXPECT_TRUE(nearColor(pixelAt(window, {200, 150}), Qt::white));

    QSignalSpy clicks(under, &QPushButton::clicked);
    clickWindowAt({200, 150});
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(CustomAnimatorTest, TwoPresentationsShareOneOverlayThatOneDismissalRemoves)
{
    std::unique_ptr<QWidget> second(colouredView(Qt::green));
    animator.animatePresentation(*presented, window);
    QWidget* overlay = dimmingOverlay();
    animator.animatePresentation(*second, window);
    EXPECT_EQ(dimmingOverlay(), overlay);
    EXPECT_EQ(window.findChildren<QWidget*>("dimmingOverlay").size(), 1);
    animator.finishAnimations();
    animator.animateDismissal(*second, window);
    animator.finishAnimations();
    EXPECT_FALSE(dimmingOverlay());
    EXPECT_EQ(presented->parentWidget(), &window) << "the first view stays";
}
