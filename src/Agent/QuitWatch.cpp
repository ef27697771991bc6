#include "Agent/QuitWatch.h"

#include <QCoreApplication>
#include <QEvent>

QuitWatch::QuitWatch(QObject* parent) : QObject(parent)
{
    // The quit request is an event sent to the application before it closes the
    // windows: seen here first.
    QCoreApplication::instance()->installEventFilter(this);
}

bool QuitWatch::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit)
        quitting_ = true;
    return false;
}
