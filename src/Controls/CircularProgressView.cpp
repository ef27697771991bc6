#include "Controls/CircularProgressView.h"

#include "Controls/Animations.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// The hundredfold of a fraction truncated towards zero, kept within a 64-bit integer.
QString percentFor(qreal progress)
{
    constexpr double limit = 9.2e18;
    const double hundredfold = std::clamp(std::trunc(progress * 100.0), -limit, limit);
    return QString::number(static_cast<qint64>(hundredfold)) + "%";
}

} // namespace

CircularProgressView::CircularProgressView(QWidget* parent) : DeterminateAnimation(parent)
{
    CircularProgressView::configureLayers();
}

void CircularProgressView::setBgColor(const QColor& color)
{
    bgColor_ = color;
    notifyViewRedesigned();
}

void CircularProgressView::setStrokeWidth(qreal width)
{
    strokeWidth_ = width;
    notifyViewRedesigned();
}

void CircularProgressView::setShowPercent(bool show)
{
    showPercent_ = show;
    notifyViewRedesigned();
}

qreal CircularProgressView::progressLineWidth() const
{
    return strokeWidth_ == -1 ? width() * 0.05 : strokeWidth_;
}

void CircularProgressView::configureLayers()
{
    notifyViewRedesigned();
    percentColor_ = foreground();
}

void CircularProgressView::notifyViewRedesigned()
{
    percentColor_ = QColor(0, 0, 255);
    update();
}

void CircularProgressView::updateProgress()
{
    controls::removeAnimations(this);
    percentText_ = percentFor(progress());
    const qreal end = std::clamp(progress(), qreal(0), qreal(1));
    const auto apply = [this](const QVariant& value) {
        strokeEnd_ = value.toReal();
        update();
    };
    if (animated())
        controls::animateValue(this, "progressLayer.strokeEnd", strokeEnd_, end, 0.5, apply);
    else
        apply(end);
    update();
}

QRectF CircularProgressView::ringRect() const
{
    const qreal radius = ringRadius();
    const QPointF centre = QRectF(rect()).center();
    return {centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius};
}

void CircularProgressView::paintPercent(QPainter& painter) const
{
    // The label's box is the view's, centred at an eighth of the height above the
    // bottom, with the text at the box's top.
    QFont font("Helvetica Neue");
    font.setWeight(QFont::Light);
    font.setPixelSize(std::max(1, static_cast<int>(percentFontSize())));
    painter.setFont(font);
    painter.setPen(percentColor_);
    const QRectF box(0, height() * 3.0 / 8.0, width(), height());
    painter.drawText(box, Qt::AlignHCenter | Qt::AlignTop, percentText_);
}

void CircularProgressView::paintEvent(QPaintEvent* event)
{
    DeterminateAnimation::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(bgColor_, trackLineWidth()));
    painter.drawEllipse(ringRect());
    if (strokeEnd_ > 0) {
        painter.setPen(QPen(foreground(), progressLineWidth(), Qt::SolidLine, Qt::SquareCap));
        // From the top, clockwise on screen.
        painter.drawArc(ringRect(), 90 * 16, -static_cast<int>(std::lround(strokeEnd_ * 360 * 16)));
    }
    if (showPercent_)
        paintPercent(painter);
}
