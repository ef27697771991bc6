#include "Controls/FlatButton.h"

#include "WidgetTestSupport.h"

#include "Controls/Animations.h"

#include <QPainter>
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

namespace {

// The product's delete button: blue while there is something to delete, grey
// otherwise, on the light content of the main window.
void styleAsDeleteButton(FlatButton& button, bool enabled)
{
    const QColor blue(0, 99, 225);
    const auto withAlpha = [](QColor colour, double alpha) {
        colour.setAlphaF(static_cast<float>(alpha));
        return colour;
    };
    const QColor grey(56, 56, 56);
    button.setNormalColor(enabled ? withAlpha(blue, 0.8) : grey);
    button.setHoverColor(enabled ? withAlpha(blue, 0.9) : grey);
    button.setBackgroundNormalColor(enabled ? withAlpha(blue, 0.8) : grey);
    button.setBackgroundHighlightColor(enabled ? blue : grey);
    button.setTitleNormalColor(enabled ? QColor(Qt::white) : QColor(120, 120, 120));
    button.setTitleHighlightColor(enabled ? QColor(Qt::white) : QColor(120, 120, 120));
    button.setImageNormalColor(Qt::white);
    button.setCornerRadius(4);
    button.setText("Delete");
    button.setGeometry(16, 12, 140, 36);
    button.finishAnimations();
}

QImage trashGlyph()
{
    QImage glyph(14, 14, QImage::Format_ARGB32_Premultiplied);
    glyph.fill(Qt::transparent);
    QPainter painter(&glyph);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(1, 2, 12, 2), Qt::black);
    painter.fillRect(QRectF(5, 0, 4, 2), Qt::black);
    painter.drawRoundedRect(QRectF(2.5, 5.5, 9, 8), 1.5, 1.5);
    return glyph;
}

class ProductFlatButton : public ::testing::Test {
protected:
    ProductFlatButton()
    {
        content.resize(172, 60);
        content.setAutoFillBackground(true);
        content.setPalette(QPalette(QColor(244, 246, 248)));
    }

    QWidget content;
    FlatButton* button = new FlatButton(&content);
};

} // namespace

TEST_F(ProductFlatButton, GrabsPressedDisabledAndWithTheImageHuggingTheTitle)
{
    styleAsDeleteButton(*button, true);
    widgettest::press(*button, {70, 18});
    button->finishAnimations();
    EXPECT_EQ(button->shownColor(LayerColor::background), QColor(0, 99, 225));
    widgettest::saveGrab(content, "FlatButton-product-pressed");
    widgettest::release(*button, {70, 18});

    button->setImage(trashGlyph());
    button->setImagePosition(FlatButton::imageLeft);
    button->setImageHugsTitle(true);
    button->setSpacing(6);
    button->finishAnimations();
    const auto image = button->imageFrame();
    const auto title = button->titleFrame();
    ASSERT_TRUE(image && title);
    EXPECT_NEAR(title->left() - image->right(), 12, 1) << "beside the title, twice the spacing apart";
    widgettest::saveGrab(content, "FlatButton-product-image-hugging-title");

    FlatButton* disabled = new FlatButton(&content);
    disabled->setEnabled(false);
    delete button;
    button = disabled;
    styleAsDeleteButton(*button, false);
    button->ensurePolished();
    EXPECT_DOUBLE_EQ(button->opacity(), 0.5);
    widgettest::saveGrab(content, "FlatButton-product-disabled");
}
