#include "Controls/CircularProgressView.h"
#include "Controls/DeterminateAnimation.h"
#include "Controls/ProgressBar.h"

#include "WidgetTestSupport.h"

#include <gtest/gtest.h>

#include <QVariantAnimation>

#include <cmath>
#include <limits>

using widgettest::nearColor;
using widgettest::pixelAt;

TEST(ProgressBar, FillsWithinTheInsetUnclampedAndAnimatesToTheValue)
{
    ProgressBar bar;
    bar.resize(206, 20);
    bar.setProgress(0.5);
    EXPECT_DOUBLE_EQ(bar.progressRect().width(), 0) << "animates from the old value";
    bar.finishAnimations();
    EXPECT_EQ(bar.progressRect(), QRectF(3, 3, 100, 14));
    bar.setProgress(1.2);
    bar.finishAnimations();
    EXPECT_DOUBLE_EQ(bar.progressRect().width(), 240) << "overflows by a fifth";
}

TEST(ProgressBar, EasesOutAsThePlatformDoes)
{
    ProgressBar bar;
    bar.resize(206, 20);
    bar.setProgress(1.0);
    auto* animation = bar.findChild<QVariantAnimation*>();
    ASSERT_NE(animation, nullptr);
    // cubic-bezier(0, 0, 0.58, 1) halfway through its time is 68.5% of its way
    animation->setCurrentTime(animation->duration() / 2);
    EXPECT_NEAR(bar.progressRect().width(), 200 * 0.6846, 0.5);
    animation->setCurrentTime(animation->duration() / 10);
    EXPECT_NEAR(bar.progressRect().width(), 200 * 0.1606, 0.5);
}

TEST(ProgressBar, ShowsAtOnceWhenNotAnimatedAndPaintsFillAndBackground)
{
    ProgressBar bar;
    bar.resize(206, 20);
    bar.setAnimated(false);
    bar.setForeground(QColor(0, 200, 0));
    bar.setBackground(QColor(0, 0, 200));
    bar.setProgress(0.5);
    EXPECT_DOUBLE_EQ(bar.progressRect().width(), 100);
    EXPECT_TRUE(nearColor(pixelAt(bar, {50, 10}), QColor(0, 200, 0)));
    EXPECT_TRUE(nearColor(pixelAt(bar, {160, 10}), QColor(0, 0, 200)));
    widgettest::saveGrab(bar, "ProgressBar-half");

    // Overflowing, the fill is drawn above the outline.
    bar.setBorderColor(QColor(200, 0, 0));
    bar.setProgress(1.2);
    EXPECT_TRUE(nearColor(pixelAt(bar, {205, 10}), QColor(0, 200, 0)));
    EXPECT_TRUE(nearColor(pixelAt(bar, {100, 0}), QColor(200, 0, 0)));
}

TEST(ProgressBar, IgnoresProgressThatIsNoFiniteNumber)
{
    ProgressBar bar;
    bar.resize(106, 20);
    bar.setAnimated(false);
    bar.setProgress(0.25);
    for (const double bad : {std::nan(""), std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity()}) {
        bar.setProgress(bad);
        EXPECT_DOUBLE_EQ(bar.progress(), 0.25) << bad;
        EXPECT_DOUBLE_EQ(bar.progressRect().width(), 25) << bad;
    }
}

TEST(DeterminateAnimation, StoresProgressAndShowsNothingOfIt)
{
    DeterminateAnimation view;
    view.resize(20, 20);
    view.setBackground(QColor(10, 20, 30));
    view.setProgress(0.7);
    EXPECT_DOUBLE_EQ(view.progress(), 0.7);
    EXPECT_TRUE(nearColor(pixelAt(view, {10, 10}), QColor(10, 20, 30)));
}

struct RingCase {
    double progress;
    double strokeEnd;
    const char* text;
};

TEST(CircularProgressView, ClampsTheRingButNotTheText)
{
    const RingCase cases[] = {{0.5, 0.5, "50%"},   {1.5, 1.0, "150%"},  {-0.2, 0.0, "-20%"},
                              {0.999, 0.999, "99%"}, {1e300, 1.0, "9200000000000000000%"}};
    for (const auto& c : cases) {
        CircularProgressView ring;
        ring.resize(100, 100);
        ring.setAnimated(false);
        ring.setProgress(c.progress);
        EXPECT_DOUBLE_EQ(ring.strokeEnd(), c.strokeEnd) << c.progress;
        EXPECT_EQ(ring.percentText(), c.text) << c.progress;
    }
}

TEST(CircularProgressView, DerivesItsGeometryFromItsWidth)
{
    CircularProgressView ring;
    ring.resize(100, 100);
    EXPECT_DOUBLE_EQ(ring.progressLineWidth(), 5);
    EXPECT_DOUBLE_EQ(ring.trackLineWidth(), 2.5);
    EXPECT_DOUBLE_EQ(ring.ringRadius(), 37.5);
    EXPECT_DOUBLE_EQ(ring.percentFontSize(), 20);
    ring.setStrokeWidth(8);
    EXPECT_DOUBLE_EQ(ring.progressLineWidth(), 8);
}

TEST(CircularProgressView, HalfARingFillsTheRightHandSideFromTheTop)
{
    CircularProgressView ring;
    ring.resize(100, 100);
    ring.setBackground(Qt::black);
    ring.setForeground(QColor(0, 255, 0));
    ring.setBgColor(QColor(255, 0, 0));
    ring.setShowPercent(false);
    ring.setProgress(0.5);
    ring.finishAnimations();
    EXPECT_DOUBLE_EQ(ring.strokeEnd(), 0.5);
    // The ring passes 37.5 points from the centre (50, 50).
    EXPECT_TRUE(nearColor(pixelAt(ring, {87, 50}), QColor(0, 255, 0))) << "right";
    EXPECT_TRUE(nearColor(pixelAt(ring, {12, 50}), QColor(255, 0, 0))) << "left shows the track";
    widgettest::saveGrab(ring, "CircularProgressView-half");
    ring.setShowPercent(true);
    ring.setProgress(0.75);
    ring.finishAnimations();
    widgettest::saveGrab(ring, "CircularProgressView-three-quarters");
}

TEST(CircularProgressView, TextTurnsBlueOnEveryRestyle)
{
    CircularProgressView ring;
    EXPECT_EQ(ring.percentTextColor(), ring.foreground());
    ring.setCornerRadius(2);
    EXPECT_EQ(ring.percentTextColor(), QColor(0, 0, 255));
}

TEST(CircularProgressView, IgnoresProgressThatIsNoFiniteNumber)
{
    CircularProgressView ring;
    ring.setAnimated(false);
    ring.setProgress(0.3);
    ring.setProgress(std::nan(""));
    EXPECT_EQ(ring.percentText(), "30%");
    EXPECT_DOUBLE_EQ(ring.strokeEnd(), 0.3);
}

TEST(CircularProgressView, GrabInTheDefaultColoursAtHalfWithItsLabel)
{
    CircularProgressView ring;
    ring.resize(160, 160);
    ring.setProgress(0.5);
    ring.finishAnimations();
    EXPECT_EQ(ring.percentText(), "50%");
    widgettest::saveGrab(ring, "CircularProgressView-default-colours-half");
}
