#include "Controls/TableScrollView.h"

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
}
