#include "Controls/HandCursorButton.h"

void HandCursorButton::enterEvent(QEnterEvent* event)
{
    QPushButton::enterEvent(event);
    setCursor(Qt::PointingHandCursor);
}

void HandCursorButton::leaveEvent(QEvent* event)
{
    QPushButton::leaveEvent(event);
    setCursor(Qt::ArrowCursor);
}
