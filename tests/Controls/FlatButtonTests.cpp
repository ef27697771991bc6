#include "Controls/FlatButton.h"

#include "WidgetTestSupport.h"

#include "Controls/Animations.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using widgettest::nearColor;
using widgettest::pixelAt;
using LayerColor = FlatButton::LayerColor;

namespace {

const QColor kNormal{30, 30, 30};
const QColor kHover{60, 60, 60};
const QColor kPressed{0, 120, 220};

class FlatButtonTest : public ::testing::Test {
protected:
    FlatButtonTest()
    {
        button.resize(120, 40);
        button.onAnimateDuration = 0.2;
        button.offAnimateDuration = 0.2;
        button.setNormalColor(kNormal);
        button.setHoverColor(kHover);
        button.setBackgroundNormalColor(kNormal);
        button.setBackgroundHighlightColor(kPressed);
        button.setTitleNormalColor(Qt::white);
        button.setTitleHighlightColor(Qt::black);
        button.finishAnimations();
    }

    QColor background() const { return button.shownColor(LayerColor::background); }

    FlatButton button;
    QSignalSpy clicks{&button, &QAbstractButton::clicked};
};

} // namespace

TEST_F(FlatButtonTest, ClickHighlightsWhilePressedAndSendsTheActionOnRelease)
{
    widgettest::enter(button);
    button.finishAnimations();
    EXPECT_EQ(background(), kHover);
    EXPECT_EQ(button.cursor().shape(), Qt::PointingHandCursor);
    widgettest::press(button);
    button.finishAnimations();
    EXPECT_TRUE(button.mouseDown());
    EXPECT_EQ(background(), kPressed);
    EXPECT_TRUE(nearColor(pixelAt(button, {3, 3}), kPressed));
    EXPECT_EQ(clicks.count(), 0);
    widgettest::release(button);
    button.finishAnimations();
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(button.mouseDown());
    EXPECT_EQ(background(), kNormal);
    EXPECT_EQ(button.state(), 0) << "a click does not change the state";
}

TEST_F(FlatButtonTest, PressDraggedOutSendsNothingAndRestoresTheNormalColour)
{
    widgettest::press(button);
    widgettest::leave(button);
    widgettest::release(button, {300, 5});
    button.finishAnimations();
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(background(), kNormal);

    widgettest::press(button);
    widgettest::moveTo(button, {300, 5});
    widgettest::release(button, {300, 5});
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_FALSE(button.mouseDown());
}

TEST_F(FlatButtonTest, DisabledButtonIsHalfTransparentAndIgnoresHover)
{
    FlatButton disabled;
    disabled.setEnabled(false);
    disabled.ensurePolished();
    EXPECT_DOUBLE_EQ(disabled.opacity(), 0.5);
    disabled.setNormalColor(kNormal);
    disabled.setHoverColor(kHover);
    disabled.setBackgroundNormalColor(kNormal);
    disabled.finishAnimations();
    widgettest::enter(disabled);
    disabled.finishAnimations();
    EXPECT_EQ(disabled.shownColor(LayerColor::background), kNormal);
    button.ensurePolished();
    EXPECT_DOUBLE_EQ(button.opacity(), 1.0);
}

TEST_F(FlatButtonTest, StateChoosesTheColourSetAndUnchangedColoursAddNoAnimation)
{
    button.setState(1);
    EXPECT_EQ(controls::runningAnimationNames(&button).size(), 2) << "background and title";
    button.finishAnimations();
    EXPECT_EQ(background(), kPressed);
    EXPECT_EQ(button.shownColor(LayerColor::title), QColor(Qt::black));
    button.setBackgroundHighlightColor(kPressed);
    EXPECT_TRUE(controls::runningAnimationNames(&button).isEmpty());
}

TEST_F(FlatButtonTest, MomentaryButtonUpFlipsTheStateAndSendsTheAction)
{
    button.setMomentary(true);
    button.animateForButtonUp();
    EXPECT_EQ(button.state(), 1);
    EXPECT_EQ(clicks.count(), 1);
    button.animateForButtonUp();
    EXPECT_EQ(button.state(), 0);
}

TEST_F(FlatButtonTest, TitleIsCentredAndImageOnlyHasNoTitle)
{
    button.setText("Scan");
    const QRectF title = *button.titleFrame();
    EXPECT_NEAR(title.center().x(), 60, 1);
    EXPECT_NEAR(title.center().y(), 20, 1);
    button.setText("Start Scan Now");
    EXPECT_NEAR(button.titleFrame()->center().x(), 60, 1) << "re-centred";
    EXPECT_GT(button.titleFrame()->width(), title.width());

    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::black);
    button.setImage(image);
    button.setImagePosition(FlatButton::imageOnly);
    EXPECT_FALSE(button.titleFrame());
    EXPECT_EQ(*button.imageFrame(), QRectF(52, 12, 16, 16));
}

struct PlacementCase {
    int position;
    bool hugs;
    QPointF image;
};

TEST_F(FlatButtonTest, ImagePlacementFollowsThePosition)
{
    QImage image(20, 10, QImage::Format_ARGB32);
    image.fill(Qt::black);
    button.setImage(image);
    button.setSpacing(4);
    const PlacementCase cases[] = {{FlatButton::imageLeft, false, {4, 15}},
                                   {FlatButton::imageRight, false, {96, 15}},
                                   {FlatButton::imageBelow, false, {50, 26}},
                                   {FlatButton::imageAbove, false, {50, 4}},
                                   {FlatButton::imageOverlaps, false, {50, 15}},
                                   {9, false, {0, 0}}};
    for (const auto& c : cases) {
        button.setImagePosition(c.position);
        button.setImageHugsTitle(c.hugs);
        EXPECT_EQ(button.imageFrame()->topLeft(), c.image) << c.position;
    }
    button.setImagePosition(FlatButton::noImage);
    EXPECT_FALSE(button.imageFrame());
}

TEST_F(FlatButtonTest, PaintsImageInTheImageColourAndGrabsItsStates)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::black);
    button.setImage(image);
    button.setImagePosition(FlatButton::imageLeft);
    button.setSpacing(8);
    button.setText("Delete");
    button.setImageNormalColor(QColor(250, 200, 0));
    button.setCornerRadius(6);
    button.setBorderWidth(2);
    button.setBorderNormalColor(QColor(200, 0, 0));
    button.finishAnimations();
    EXPECT_TRUE(nearColor(pixelAt(button, {14, 20}), QColor(250, 200, 0)));
    EXPECT_TRUE(nearColor(pixelAt(button, {60, 1}), QColor(200, 0, 0)));
    EXPECT_TRUE(nearColor(pixelAt(button, {60, 5}), kNormal));
    widgettest::saveGrab(button, "FlatButton-normal");
    widgettest::enter(button);
    button.finishAnimations();
    widgettest::saveGrab(button, "FlatButton-hover");
    button.setState(1);
    button.finishAnimations();
    widgettest::saveGrab(button, "FlatButton-on");
}
