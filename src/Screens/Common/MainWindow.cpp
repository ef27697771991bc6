#include "Screens/Common/MainWindow.h"

#include <QPointer>
#include <QWidget>

namespace {

QPointer<QWidget>& mainWindowSlot()
{
    static QPointer<QWidget> slot;
    return slot;
}

} // namespace

void setMainWindow(QWidget* window)
{
    mainWindowSlot() = window;
}

QWidget* registeredMainWindow()
{
    return mainWindowSlot();
}

QWidget& mainWindow(QWidget& view)
{
    QWidget* window = registeredMainWindow();
    return window ? *window : *view.window();
}
