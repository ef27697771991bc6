#include "Controls/ToggleSwitch.h"

#include "Controls/Animations.h"
#include "Controls/FocusRing.h"
#include "Controls/LayerPainter.h"
#include "Controls/ToggleSwitchAccessible.h"
#include "Platform/Notifications/NotificationCenter.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QParallelAnimationGroup>
#include <QVariantAnimation>

#include <string>

namespace {

// The knob's look: white with a white border and a soft black shadow 2 points below.
const QColor kKnobBorderColor{Qt::white};
constexpr qreal kShadowOpacity = 0.4;
constexpr qreal kShadowOffset = 2.0;
constexpr qreal kShadowBlur = 2.0;

} // namespace

ToggleSwitch::ToggleSwitch(QWidget* parent) : QWidget(parent)
{
    installToggleSwitchAccessibility();
    setAttribute(Qt::WA_AcceptTouchEvents);
    setFocusPolicy(Qt::TabFocus);
    setProperty(controls::focusRingCornerProperty, -1); // a pill, as the track
    refreshLayout(false);
}

void ToggleSwitch::setIsOn(bool on)
{
    const bool changed = on != isOn_;
    isOn_ = on;
    if (changed) {
        QAccessible::State checked;
        checked.checked = true;
        QAccessibleStateChangeEvent event(this, checked);
        QAccessible::updateAccessibility(&event);
    }
    updateToggleState();
}

void ToggleSwitch::flip()
{
    if (!acceptsUserToggle())
        return;
    setIsOn(!isOn_);
    postToggle();
}

void ToggleSwitch::setHasToggleBorder(bool border)
{
    hasToggleBorder_ = border;
    update();
}

void ToggleSwitch::setOutlineWidth(qreal width)
{
    outlineWidth_ = width;
    refreshLayout(true);
}

void ToggleSwitch::setToggleBorderWidth(qreal width)
{
    toggleBorderWidth_ = width;
    update();
}

qreal ToggleSwitch::radius() const
{
    return radius_.value_or((height() - 2 * outlineWidth_) * 0.5);
}

void ToggleSwitch::setRadius(qreal radius)
{
    radius_ = radius;
    setProperty(controls::focusRingCornerProperty, radius);
    refreshLayout(false);
}

void ToggleSwitch::setOutlineColor(const QColor& color)
{
    outlineColor_ = color;
    trackBorderColor_ = color;
    update();
}

void ToggleSwitch::setFillColor(const QColor& color)
{
    fillColor_ = color;
    if (isOn_)
        trackBorderColor_ = color;
    update();
}

void ToggleSwitch::setToggleColor(const QColor& color)
{
    toggleColor_ = color;
    update();
}

void ToggleSwitch::setBackColor(const QColor& color)
{
    backColor_ = color;
    update();
}

// Lays the switch out anew for its current state (a geometry change never shows
// a switch that is on as off).
void ToggleSwitch::refreshLayout(bool updateConstraints)
{
    if (updateConstraints) {
        knobTravel_ = isOn_ ? 1 : 0;
        knobStretch_ = 0;
    }
    trackFill_ = isOn_ ? 1 : 0;
    trackBorderColor_ = isOn_ ? fillColor_ : outlineColor_;
    update();
}

void ToggleSwitch::updateToggleState()
{
    controls::removeAnimations(this);
    setAttribute(Qt::WA_AcceptTouchEvents, false);
    auto* group = new QParallelAnimationGroup(this);
    const auto add = [this, group](qreal& value, const QVariant& to) {
        auto* animation = new QVariantAnimation(group);
        animation->setStartValue(value);
        animation->setEndValue(to);
        animation->setDuration(static_cast<int>(stateAnimationSeconds * 1000));
        connect(animation, &QVariantAnimation::valueChanged, this, [this, &value](const QVariant& v) {
            value = v.toReal();
            update();
        });
        group->addAnimation(animation);
    };
    add(trackFill_, isOn_ ? 1.0 : 0.0);
    add(knobStretch_, 0.0);
    add(knobTravel_, isOn_ ? 1.0 : 0.0);
    auto* colour = new QVariantAnimation(group);
    colour->setStartValue(trackBorderColor_);
    colour->setEndValue(isOn_ ? fillColor_ : outlineColor_);
    colour->setDuration(static_cast<int>(stateAnimationSeconds * 1000));
    connect(colour, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        trackBorderColor_ = v.value<QColor>();
        update();
    });
    group->addAnimation(colour);
    connect(group, &QAbstractAnimation::finished, this, [this] {
        setAttribute(Qt::WA_AcceptTouchEvents, true);
        if (callback)
            callback(isOn_);
    });
    group->start(QAbstractAnimation::DeleteWhenStopped);
}

void ToggleSwitch::finishAnimations()
{
    controls::finishAnimations(this);
}

void ToggleSwitch::animateKnobStretch(qreal stretch)
{
    controls::animateValue(this, "knob.width", knobStretch_, stretch, stateAnimationSeconds,
                           [this](const QVariant& value) {
                               knobStretch_ = value.toReal();
                               update();
                           });
}

QRectF ToggleSwitch::knobRect() const
{
    const qreal outline = outlineWidth_;
    const qreal side = knobSide();
    const qreal onLeft = width() + outline - height();
    const qreal stretch = side * 0.25 * knobStretch_;
    // Pressed while on, the knob keeps its right edge and stretches to the left.
    const qreal left = outline + knobTravel_ * (onLeft - outline) - knobTravel_ * stretch;
    return {left, (height() - side) * 0.5, side + stretch, side};
}

qreal ToggleSwitch::trackBorderWidth() const
{
    return outlineWidth_ + trackFill_ * (height() * 0.5 - outlineWidth_);
}

void ToggleSwitch::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !acceptsUserToggle())
        return;
    animateKnobStretch(1.0);
}

void ToggleSwitch::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        flip();
}

void ToggleSwitch::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Space) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (!event->isAutoRepeat())
        flip();
}

void ToggleSwitch::postToggle() const
{
    const char* name = statetag == protectionTag ? toggleProtectionNotificationName : toggleNotificationName;
    platform::NotificationCenter::defaultCenter().post(
        name, {{"isOn", isOn_}, {"index", statetag}, {"toggleId", toggleId.toStdString()}});
}

void ToggleSwitch::enterEvent(QEnterEvent*)
{
    setCursor(Qt::PointingHandCursor);
}

void ToggleSwitch::leaveEvent(QEvent*)
{
    setCursor(Qt::ArrowCursor);
}

void ToggleSwitch::paintKnob(QPainter& painter) const
{
    const QRectF knob = knobRect();
    const qreal corner = radius_ ? *radius_ - outlineWidth_ : knobSide() * 0.5;
    // The shadow: rings of falling opacity around the knob moved down.
    const QRectF shadow = knob.translated(0, kShadowOffset);
    constexpr int rings = 4;
    for (int ring = rings; ring >= 1; --ring) {
        const qreal spread = kShadowBlur * ring / rings;
        QColor colour(0, 0, 0);
        colour.setAlphaF(static_cast<float>(kShadowOpacity / rings));
        painter.fillPath(controls::roundedLayerPath(shadow.adjusted(-spread, -spread, spread, spread),
                                                    corner + spread),
                         colour);
    }
    controls::paintLayer(painter, knob,
                         {toggleColor_, kKnobBorderColor, hasToggleBorder_ ? toggleBorderWidth_ : 0, corner});
}

void ToggleSwitch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal trackCorner = radius_.value_or(height() * 0.5);
    controls::paintLayer(painter, rect(), {backColor_, trackBorderColor_, trackBorderWidth(), trackCorner});
    paintKnob(painter);
}
