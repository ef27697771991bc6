// The protection agent: a background application without a main window, started by
// launchd through "/usr/bin/open".
#include "Agent/AppDelegate.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Dispatch/QtMainLoop.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false); // alerts come and go; the agent stays
    platform::dispatch::adoptMainThread();
    platform::dispatch::attachToQtEventLoop();
    AppDelegate::shared().startAgent();
    return application.exec();
}
