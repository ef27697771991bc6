#include "Controls/FlatButton.h"

#include "Controls/Animations.h"
#include "Controls/FocusRing.h"
#include "Controls/LayerPainter.h"

#include <QEnterEvent>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

struct Metrics {
    qreal width, height;     // the button
    qreal imageWidth, imageHeight;
    qreal titleWidth, titleHeight;
    qreal spacing;
    bool hugs;
};

// The sizes the placement of image and title is made of; the title measured in the
// button's font, an absent image or title counting as size 0.
Metrics metricsOf(const FlatButton& button)
{
    const QSizeF image = button.image().isNull() ? QSizeF(0, 0) : button.image().deviceIndependentSize();
    const QSizeF title = button.text().isEmpty() ? QSizeF(0, 0)
                                                 : QFontMetricsF(button.font()).size(Qt::TextSingleLine, button.text());
    return {qreal(button.width()), qreal(button.height()), image.width(), image.height(),
            title.width(), title.height(), button.spacing(), button.imageHugsTitle()};
}

QPointF imageOrigin(int position, const Metrics& m)
{
    const qreal centredX = (m.width - m.imageWidth) / 2;
    const qreal centredY = (m.height - m.imageHeight) / 2;
    switch (position) {
    case FlatButton::imageOnly:
    case FlatButton::imageOverlaps:
        return {centredX, centredY};
    case FlatButton::imageLeft:
    case FlatButton::imageLeading:
        return {m.hugs ? (m.width - m.imageWidth - m.titleWidth) / 2 - m.spacing : m.spacing, centredY};
    case FlatButton::imageRight:
    case FlatButton::imageTrailing:
        return {m.hugs ? (m.width - m.imageWidth + m.titleWidth) / 2 + m.spacing
                       : m.width - m.imageWidth - m.spacing,
                centredY};
    case FlatButton::imageBelow:
        return {centredX, m.hugs ? (m.height - m.imageHeight + m.titleHeight) / 2 + m.spacing
                                 : m.height - m.imageHeight - m.spacing};
    case FlatButton::imageAbove:
        return {centredX, m.hugs ? (m.height - m.imageHeight - m.titleHeight) / 2 - m.spacing : m.spacing};
    default:
        return {0, 0};
    }
}

QPointF titleOrigin(int position, const Metrics& m)
{
    const qreal centredX = (m.width - m.titleWidth) / 2;
    const qreal centredY = (m.height - m.titleHeight) / 2;
    switch (position) {
    case FlatButton::noImage:
    case FlatButton::imageOverlaps:
        return {centredX, centredY};
    case FlatButton::imageLeft:
    case FlatButton::imageLeading:
        return {m.hugs ? (m.width + m.imageWidth - m.titleWidth) / 2 + m.spacing
                       : m.width - m.titleWidth - m.spacing,
                centredY};
    case FlatButton::imageRight:
    case FlatButton::imageTrailing:
        return {m.hugs ? (m.width - m.imageWidth - m.titleWidth) / 2 - m.spacing : m.spacing, centredY};
    case FlatButton::imageBelow:
        return {centredX, m.hugs ? (m.height - m.imageHeight - m.titleHeight) / 2 - m.spacing : m.spacing};
    case FlatButton::imageAbove:
        return {centredX, m.hugs ? (m.height + m.imageHeight - m.titleHeight) / 2 + m.spacing
                                 : m.height - m.titleHeight - m.spacing};
    default:
        return {0, 0};
    }
}

QPointF rounded(const QPointF& point)
{
    return {std::round(point.x()), std::round(point.y())};
}

bool sameColor(const QColor& a, const QColor& b)
{
    return a.isValid() == b.isValid() && (!a.isValid() || a == b);
}

} // namespace

FlatButton::FlatButton(QWidget* parent) : QAbstractButton(parent)
{
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::TabFocus); // a click leaves the focus where it is, as the look expects
}

bool FlatButton::event(QEvent* event)
{
    // Set-up for showing: a button disabled then stays half transparent.
    if (event->type() == QEvent::Polish)
        opacity_ = isEnabled() ? 1.0 : 0.5;
    return QAbstractButton::event(event);
}

void FlatButton::setMomentary(bool momentary)
{
    momentary_ = momentary;
    animateColorWithState(state_);
}

void FlatButton::setState(int state)
{
    state_ = state;
    animateColorWithState(state);
}

void FlatButton::setColor(QColor& member, const QColor& color)
{
    member = color;
    animateColorWithState(state_);
}

void FlatButton::setNormalColor(const QColor& color) { setColor(normalColor_, color); }
void FlatButton::setHoverColor(const QColor& color) { setColor(hoverColor_, color); }
void FlatButton::setBorderNormalColor(const QColor& color) { setColor(borderNormalColor_, color); }
void FlatButton::setBorderHighlightColor(const QColor& color) { setColor(borderHighlightColor_, color); }
void FlatButton::setBackgroundNormalColor(const QColor& color) { setColor(backgroundNormalColor_, color); }
void FlatButton::setBackgroundHighlightColor(const QColor& color) { setColor(backgroundHighlightColor_, color); }
void FlatButton::setImageNormalColor(const QColor& color) { setColor(imageNormalColor_, color); }
void FlatButton::setImageHighlightColor(const QColor& color) { setColor(imageHighlightColor_, color); }
void FlatButton::setTitleNormalColor(const QColor& color) { setColor(titleNormalColor_, color); }
void FlatButton::setTitleHighlightColor(const QColor& color) { setColor(titleHighlightColor_, color); }

void FlatButton::setCornerRadius(double radius)
{
    cornerRadius_ = radius;
    setProperty(controls::focusRingCornerProperty, radius);
    update();
}

void FlatButton::setBorderWidth(double width)
{
    borderWidth_ = width;
    update();
}

void FlatButton::setSpacing(double spacing)
{
    spacing_ = spacing;
    update();
}

void FlatButton::setImage(const QImage& image)
{
    image_ = image;
    update();
}

void FlatButton::setImagePosition(int position)
{
    imagePosition_ = position;
    update();
}

void FlatButton::setImageHugsTitle(bool hugs)
{
    imageHugsTitle_ = hugs;
    update();
}

FlatButton::AnimatedColor& FlatButton::animated(LayerColor layer)
{
    switch (layer) {
    case LayerColor::border: return border_;
    case LayerColor::background: return background_;
    case LayerColor::image: return imageColor_;
    case LayerColor::title: break;
    }
    return title_;
}

QColor FlatButton::shownColor(LayerColor layer) const
{
    return const_cast<FlatButton*>(this)->animated(layer).shown;
}

void FlatButton::animateColorWithState(int state)
{
    removeAllAnimations();
    const bool on = state == 1;
    const double seconds = on ? onAnimateDuration : offAnimateDuration;
    animateLayer(LayerColor::border, on ? borderHighlightColor_ : borderNormalColor_, seconds);
    animateLayer(LayerColor::background, on ? backgroundHighlightColor_ : backgroundNormalColor_, seconds);
    animateLayer(LayerColor::image, on ? imageHighlightColor_ : imageNormalColor_, seconds);
    animateLayer(LayerColor::title, on ? titleHighlightColor_ : titleNormalColor_, seconds);
}

void FlatButton::animateLayer(LayerColor layer, const QColor& color, double seconds)
{
    static const char* const names[] = {"layer.borderColor", "layer.backgroundColor",
                                        "imageLayer.backgroundColor", "titleLayer.foregroundColor"};
    AnimatedColor& value = animated(layer);
    if (sameColor(value.target, color))
        return;
    // An unset colour shows as transparent while it fades.
    const auto asShown = [](const QColor& c) { return c.isValid() ? c : QColor(Qt::transparent); };
    value.target = color;
    controls::animateValue(this, names[static_cast<int>(layer)], asShown(value.shown), asShown(color),
                           seconds, [this, &value](const QVariant& frame) {
                               value.shown = frame.value<QColor>();
                               update();
                           });
}

void FlatButton::removeAllAnimations()
{
    controls::removeAnimations(this);
    for (auto* value : {&border_, &background_, &imageColor_, &title_})
        value->shown = value->target;
    update();
}

void FlatButton::finishAnimations()
{
    controls::finishAnimations(this);
}

void FlatButton::animateForButtonUp()
{
    mouseDown_ = false;
    if (momentary_)
        setState(state_ == 1 ? 0 : 1);
    emit clicked();
}

std::optional<QRectF> FlatButton::imageFrame() const
{
    if (image_.isNull() || imagePosition_ == noImage)
        return std::nullopt;
    const Metrics metrics = metricsOf(*this);
    return QRectF(rounded(imageOrigin(imagePosition_, metrics)), QSizeF(metrics.imageWidth, metrics.imageHeight));
}

std::optional<QRectF> FlatButton::titleFrame() const
{
    if (text().isEmpty() || imagePosition_ == imageOnly)
        return std::nullopt;
    const Metrics metrics = metricsOf(*this);
    return QRectF(rounded(titleOrigin(imagePosition_, metrics)),
                  QSizeF(std::ceil(metrics.titleWidth), std::ceil(metrics.titleHeight)));
}

void FlatButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    mouseDown_ = true;
    setBackgroundNormalColor(backgroundHighlightColor_);
}

void FlatButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !mouseDown_)
        return;
    // A press dragged out of the button ends as a leave.
    if (!rect().contains(event->position().toPoint())) {
        mouseExited();
        return;
    }
    mouseDown_ = false;
    setBackgroundNormalColor(normalColor_);
    emit clicked();
}

void FlatButton::mouseMoveEvent(QMouseEvent* event)
{
    if (mouseDown_ && !rect().contains(event->position().toPoint()))
        mouseExited();
}

void FlatButton::enterEvent(QEnterEvent*)
{
    if (!isEnabled())
        return;
    setBackgroundNormalColor(hoverColor_);
    setCursor(Qt::PointingHandCursor);
}

void FlatButton::leaveEvent(QEvent*)
{
    if (isEnabled())
        mouseExited();
}

void FlatButton::mouseExited()
{
    mouseDown_ = false;
    setBackgroundNormalColor(normalColor_);
    setCursor(Qt::ArrowCursor);
}

void FlatButton::paintImage(QPainter& painter, const QRectF& frame) const
{
    const QColor colour = imageColor_.shown;
    if (!colour.isValid())
        return;
    // The image shows in the image colour through its own alpha.
    QImage tinted(image_.size(), QImage::Format_ARGB32_Premultiplied);
    tinted.setDevicePixelRatio(image_.devicePixelRatio());
    tinted.fill(colour);
    QPainter mask(&tinted);
    mask.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    mask.drawImage(QPointF(0, 0), image_);
    mask.end();
    painter.drawImage(frame, tinted);
}

void FlatButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(opacity_);
    const controls::LayerStyle layer{background_.shown, border_.shown, borderWidth_, cornerRadius_};
    painter.setClipPath(controls::roundedLayerPath(rect(), cornerRadius_));
    controls::paintLayerBackground(painter, rect(), layer);
    if (const auto frame = imageFrame())
        paintImage(painter, *frame);
    if (const auto frame = titleFrame(); frame && title_.shown.isValid()) {
        painter.setFont(font());
        painter.setPen(title_.shown);
        painter.drawText(*frame, Qt::AlignLeft | Qt::AlignTop, text());
    }
    controls::paintLayerBorder(painter, rect(), layer);
}
