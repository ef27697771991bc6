#include "Controls/WindowPlacement.h"

#include <QScreen>
#include <QWidget>

void setFrameOriginToPositionWindowInCenterOfScreen(QWidget& window)
{
    const QScreen* screen = window.screen();
    if (screen == nullptr)
        return;
    const QSize screenSize = screen->geometry().size();
    const QSize windowSize = window.frameGeometry().size();
    window.move((screenSize.width() - windowSize.width()) / 2, (screenSize.height() - windowSize.height()) / 2);
}
