#include "Controls/TableScrollView.h"

#include <QPainter>
#include <QPaintEvent>

TableScrollView::TableScrollView(QWidget* parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    viewport()->setAutoFillBackground(true);
    setBgColor(bgColor_);
}

void TableScrollView::setBgColor(const QColor& color)
{
    bgColor_ = color;
    QPalette colours = viewport()->palette();
    colours.setColor(QPalette::Window, color);
    viewport()->setPalette(colours);
    viewport()->update();
    update();
}

// The view's own paint (the viewport paints itself): the corner between the
// scroll bars and whatever the bars leave uncovered.
bool TableScrollView::event(QEvent* event)
{
    if (event->type() != QEvent::Paint)
        return QScrollArea::event(event);
    QPainter painter(this);
    painter.fillRect(static_cast<QPaintEvent*>(event)->rect(), bgColor_);
    return true;
}
