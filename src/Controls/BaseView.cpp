#include "Controls/BaseView.h"

#include "Controls/LayerPainter.h"

#include <QPainter>

BaseView::BaseView(QWidget* parent) : QWidget(parent)
{
    BaseView::configureLayers();
}

void BaseView::setBackground(const QColor& color)
{
    background_ = color;
    notifyViewRedesigned();
}

void BaseView::setForeground(const QColor& color)
{
    foreground_ = color;
    notifyViewRedesigned();
}

void BaseView::setCornerRadius(qreal radius)
{
    cornerRadius_ = radius;
    notifyViewRedesigned();
}

void BaseView::configureLayers()
{
    notifyViewRedesigned();
}

void BaseView::notifyViewRedesigned()
{
    update();
}

void BaseView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    controls::paintLayerBackground(painter, rect(),
                                   {background_, {}, 0, backgroundCornerRadius()});
}
