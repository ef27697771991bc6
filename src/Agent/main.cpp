// The protection agent: a background application without a main window, started by
// launchd through "/usr/bin/open".
#include "Foundation/PresentationSlots.h"
#include "Foundation/TextTable.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Dispatch/QtMainLoop.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false); // alerts come and go; the agent stays
    platform::dispatch::adoptMainThread();
    platform::dispatch::attachToQtEventLoop();
    languageTable() = readBundlePlist("English");
    return application.exec();
}
