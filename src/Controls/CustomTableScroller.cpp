#include "Controls/CustomTableScroller.h"

#include "Controls/LayerPainter.h"

#include <QPainter>
#include <QStyleOptionSlider>

namespace {

constexpr qreal kCornerRadius = 9.0;
constexpr qreal kKnobThickness = 9.0;
constexpr qreal kKnobRadius = 5.0;

} // namespace

CustomTableScroller::CustomTableScroller(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent)
{
}

void CustomTableScroller::setBgColor(const QColor& color)
{
    bgColor_ = color;
    update();
}

void CustomTableScroller::setKnobColor(const QColor& color)
{
    knobColor_ = color;
    update();
}

QRectF CustomTableScroller::knobRect() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    QRectF knob = style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    if (orientation() == Qt::Vertical) {
        knob.setX(3.0);
        knob.setWidth(kKnobThickness);
    } else {
        knob.setY(4.0);
        knob.setHeight(kKnobThickness);
    }
    return knob;
}

void CustomTableScroller::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    controls::paintLayerBackground(painter, rect(), {bgColor_, {}, 0, kCornerRadius});
    if (maximum() > minimum())
        controls::paintLayerBackground(painter, knobRect(), {knobColor_, {}, 0, kKnobRadius});
}
