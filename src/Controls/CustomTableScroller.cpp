#include "Controls/CustomTableScroller.h"

#include "Controls/LayerPainter.h"

#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionSlider>

#include <algorithm>

namespace {

constexpr qreal kCornerRadius = 9.0;
constexpr qreal kKnobThickness = 9.0;
constexpr qreal kKnobRadius = 5.0;

// A scroll bar without arrows: the groove is the whole bar and the knob travels
// its whole length, so painting, clicks and drags all see the same parts.
class ArrowlessScrollBarStyle : public QProxyStyle {
public:
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget) const override
    {
        const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
        if (control != CC_ScrollBar || !bar)
            return QProxyStyle::subControlRect(control, option, part, widget);
        const bool vertical = bar->orientation == Qt::Vertical;
        const QRect whole = bar->rect;
        const int length = vertical ? whole.height() : whole.width();
        const int knobLength = knobLengthOf(*bar, length, widget);
        const int knobStart = sliderPositionFromValue(bar->minimum, bar->maximum, bar->sliderPosition,
                                                      length - knobLength, bar->upsideDown);
        const auto along = [&](int start, int extent) {
            return vertical ? QRect(whole.x(), whole.y() + start, whole.width(), extent)
                            : QRect(whole.x() + start, whole.y(), extent, whole.height());
        };
        switch (part) {
        case SC_ScrollBarGroove:
            return whole;
        case SC_ScrollBarSlider:
            return along(knobStart, knobLength);
        case SC_ScrollBarSubPage:
            return along(0, knobStart);
        case SC_ScrollBarAddPage:
            return along(knobStart + knobLength, length - knobStart - knobLength);
        default:
            return {};
        }
    }

private:
    // In proportion to the page's share of the whole range, never below the style's minimum.
    int knobLengthOf(const QStyleOptionSlider& bar, int length, const QWidget* widget) const
    {
        const qint64 range = qint64(bar.maximum) - bar.minimum;
        if (range <= 0 || bar.pageStep <= 0)
            return length;
        const int proportional = int(qint64(length) * bar.pageStep / (range + bar.pageStep));
        const int shortest = std::min(length, pixelMetric(PM_ScrollBarSliderMin, &bar, widget));
        return std::clamp(proportional, shortest, length);
    }
};

} // namespace

CustomTableScroller::CustomTableScroller(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent)
{
    auto* arrowless = new ArrowlessScrollBarStyle;
    arrowless->setParent(this);
    setStyle(arrowless);
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
