#include "Controls/MyNSTableRowView.h"

#include <QPainter>

const QColor MyNSTableRowView::selectionColor{50, 50, 50};

MyNSTableRowView::MyNSTableRowView(QWidget* parent) : QWidget(parent) {}

void MyNSTableRowView::setSelected(bool selected)
{
    selected_ = selected;
    update();
}

void MyNSTableRowView::drawSelection(QPainter& painter, const QRectF& bounds)
{
    painter.fillRect(bounds, selectionColor);
}

void MyNSTableRowView::paintEvent(QPaintEvent*)
{
    if (!selected_)
        return;
    QPainter painter(this);
    drawSelection(painter, rect());
}
