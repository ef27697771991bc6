#include "Controls/Spinner.h"

#include "WidgetTestSupport.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

double radians(double degrees)
{
    return degrees * std::numbers::pi / 180;
}

} // namespace

TEST(Spinner, DefaultsMakeTenBarsOfFallingOpacity)
{
    Spinner spinner;
    ASSERT_EQ(spinner.starList().size(), 10u);
    ASSERT_EQ(spinner.animation().values.size(), 10u);
    EXPECT_EQ(spinner.animation().keyPath, "transform.rotation");
    EXPECT_DOUBLE_EQ(spinner.animation().duration, 1.0);
    for (int i = 0; i < 10; ++i) {
        EXPECT_NEAR(spinner.starList()[i].opacity, 1.0 - 0.1 * i, 1e-9);
        EXPECT_NEAR(spinner.animation().values[i], radians(36 * i), 1e-9);
        EXPECT_DOUBLE_EQ(spinner.starList()[i].cornerRadius, 3);
    }
}

struct CountCase {
    int starCount;
    std::size_t bars;
    double lastDegrees;
};

TEST(Spinner, BarCountFollowsTheWholeStepAndIsKeptInRange)
{
    const CountCase cases[] = {{7, 8, 357}, {360, 360, 359}, {1, 1, 0},
                               {0, 1, 0},   {-5, 1, 0},      {1000, 360, 359}};
    for (const auto& c : cases) {
        Spinner spinner;
        spinner.setStarCount(c.starCount);
        ASSERT_EQ(spinner.starList().size(), c.bars) << c.starCount;
        EXPECT_NEAR(spinner.animation().values.back(), radians(c.lastDegrees), 1e-9) << c.starCount;
    }
}

TEST(Spinner, ClockwiseNegatesTheTurns)
{
    Spinner spinner;
    spinner.setClockwise(true);
    EXPECT_NEAR(spinner.animation().values[1], -radians(36), 1e-9);
    EXPECT_NEAR(spinner.starList()[1].angle, -radians(36), 1e-9);
}

TEST(Spinner, AnimateShowsStartsOnceAndStopsEverything)
{
    QWidget window;
    auto* spinner = new Spinner(&window);
    spinner->setAnimate(true);
    spinner->setAnimate(true);
    EXPECT_FALSE(spinner->isHidden());
    EXPECT_EQ(spinner->containerLayer().animationKeys(), QStringList{"rotation"});
    spinner->containerLayer().addAnimation(spinner->animation(), "other");
    spinner->setAnimate(false);
    EXPECT_TRUE(spinner->containerLayer().animationKeys().isEmpty());
    EXPECT_TRUE(spinner->isHidden());
    EXPECT_DOUBLE_EQ(spinner->containerLayer().rotation(), 0);

    spinner->setDisplayAfterAnimationEnds(true);
    spinner->setAnimate(true);
    spinner->setAnimate(false);
    EXPECT_FALSE(spinner->isHidden()) << "stays visible";
    EXPECT_TRUE(spinner->containerLayer().animationKeys().isEmpty());
}

TEST(Spinner, BrightestBarHangsAboveTheCentre)
{
    Spinner spinner;
    spinner.resize(80, 80);
    spinner.setBackground(Qt::black);
    spinner.setForeground(Qt::white);
    spinner.setCornerRadius(0);
    // The opaque bar spans 20 to 35 points above the centre (40, 40).
    EXPECT_TRUE(widgettest::nearColor(widgettest::pixelAt(spinner, {40, 12}), Qt::white));
    EXPECT_TRUE(widgettest::nearColor(widgettest::pixelAt(spinner, {40, 40}), Qt::black));
    widgettest::saveGrab(spinner, "Spinner-resting");
    spinner.containerLayer().addAnimation({"transform.rotation", {std::numbers::pi / 2}, 1.0}, "rotation");
    // Turned a quarter counter-clockwise, the opaque bar lies left of the centre.
    EXPECT_TRUE(widgettest::nearColor(widgettest::pixelAt(spinner, {12, 40}), Qt::white));
    widgettest::saveGrab(spinner, "Spinner-turned");
}
