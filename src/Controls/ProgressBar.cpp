#include "Controls/ProgressBar.h"

#include "Controls/Animations.h"
#include "Controls/LayerPainter.h"

#include <QPainter>

ProgressBar::ProgressBar(QWidget* parent) : DeterminateAnimation(parent)
{
    ProgressBar::configureLayers();
}

void ProgressBar::setBorderColor(const QColor& color)
{
    borderColor_ = color;
    notifyViewRedesigned();
}

void ProgressBar::configureLayers()
{
    notifyViewRedesigned();
}

void ProgressBar::notifyViewRedesigned()
{
    update();
}

QRectF ProgressBar::borderRect() const
{
    return rect();
}

QRectF ProgressBar::progressRect() const
{
    const QRectF inset = borderRect().adjusted(kInset, kInset, -kInset, -kInset);
    return {inset.x(), inset.y(), (borderRect().width() - 2 * kInset) * shownProgress_, inset.height()};
}

void ProgressBar::updateProgress()
{
    controls::removeAnimations(this);
    const auto apply = [this](const QVariant& value) {
        shownProgress_ = value.toReal();
        update();
    };
    if (!animated()) {
        apply(progress());
        return;
    }
    controls::animateValue(this, "progressLayer.bounds", shownProgress_, progress(), 0.5, apply,
                           controls::easeOutCurve());
}

void ProgressBar::paintEvent(QPaintEvent* event)
{
    DeterminateAnimation::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF outline = borderRect();
    controls::paintLayerBorder(painter, outline, {{}, borderColor_, 1.0, outline.height() * 0.5});
    const QRectF fill = progressRect();
    if (fill.width() > 0)
        controls::paintLayerBackground(painter, fill, {foreground(), {}, 0, fill.height() * 0.5});
}
