#include "Controls/Spinner.h"

#include <QPainter>

#include <algorithm>
#include <numbers>

Spinner::Spinner(QWidget* parent) : IndeterminateAnimation(parent)
{
    connect(&containerLayer_, &AnimationLayer::changed, this, qOverload<>(&QWidget::update));
    Spinner::configureLayers();
}

void Spinner::setStarSize(const QSizeF& size)
{
    starSize_ = size;
    notifyViewRedesigned();
}

void Spinner::setRoundedCorners(bool rounded)
{
    roundedCorners_ = rounded;
    notifyViewRedesigned();
}

void Spinner::setDistance(qreal distance)
{
    distance_ = distance;
    notifyViewRedesigned();
}

void Spinner::setStarCount(int count)
{
    starCount_ = std::clamp(count, 1, 360);
    notifyViewRedesigned();
}

void Spinner::setDuration(double seconds)
{
    animation_.duration = seconds;
}

void Spinner::setClockwise(bool clockwise)
{
    clockwise_ = clockwise;
    notifyViewRedesigned();
}

void Spinner::configureLayers()
{
    notifyViewRedesigned();
}

void Spinner::notifyViewRedesigned()
{
    starList_.clear();
    animation_.values.clear();
    const qreal side = width();
    const int step = 360 / starCount_;
    for (int degrees = 0; degrees < 360; degrees += step) {
        const double angle = degrees * std::numbers::pi / 180 * (clockwise_ ? -1 : 1);
        animation_.values.push_back(angle);
        Star star;
        star.frame = QRectF(side * 0.5 - starSize_.width() * 0.5, side * 0.5 - starSize_.height() * 0.5,
                            starSize_.width(), starSize_.height());
        star.angle = angle;
        star.opacity = (360.0 - degrees) / 360.0;
        star.cornerRadius = roundedCorners_ ? starSize_.width() * 0.5 : 0;
        starList_.push_back(star);
    }
    update();
}

void Spinner::startAnimation()
{
    containerLayer_.addAnimation(animation_, "rotation");
}

void Spinner::stopAnimation()
{
    containerLayer_.removeAllAnimations();
}

void Spinner::paintEvent(QPaintEvent* event)
{
    IndeterminateAnimation::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The container turns about the view's centre; a positive rotation turns it
    // counter-clockwise on screen.
    const QPointF centre = QRectF(rect()).center();
    painter.translate(centre);
    painter.rotate(-containerLayer_.rotation() * 180 / std::numbers::pi);
    painter.translate(-centre);
    // Each bar hangs from the middle of its lower edge, at the centre of its frame
    // (counted from the bottom), is turned clockwise on screen by its angle and then
    // moved `distance` outwards.
    const qreal side = width();
    for (const Star& star : starList_) {
        painter.save();
        painter.translate(side * 0.5, height() - side * 0.5);
        painter.rotate(star.angle * 180 / std::numbers::pi);
        painter.translate(0, -distance_);
        painter.setOpacity(star.opacity);
        const QRectF bar(-star.frame.width() * 0.5, -star.frame.height(), star.frame.width(),
                         star.frame.height());
        painter.setPen(Qt::NoPen);
        painter.setBrush(foreground());
        painter.drawRoundedRect(bar, star.cornerRadius, star.cornerRadius);
        painter.restore();
    }
}
