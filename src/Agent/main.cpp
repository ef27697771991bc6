// The protection agent: a background application without a main window, started by
// launchd through "/usr/bin/open". A second agent of the same user leaves at once.
#include "Foundation/InstanceLock.h"
#include "Agent/AppDelegate.h"
#include "Controls/KeyboardFocusRing.h"
#include "Foundation/TerminationSignal.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Dispatch/QtMainLoop.h"
#include "Screens/Common/AuthorizationPrompt.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    const platform::FileLock instance = takeAgentInstanceLock();
    if (!instance.held())
        return 0;
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false); // alerts come and go; the agent stays
    controls::showFocusRingOnKeyboardFocus();
    platform::dispatch::adoptMainThread();
    platform::dispatch::attachToQtEventLoop();
    quitOnTerminationSignal();
    installAuthorizationPrompt();
    AppDelegate delegate;
    delegate.startAgent();
    const int status = application.exec();
    delegate.stopAgent();
    // The records load, the definitions update and the download and crash-report
    // matches may still run on the global queue's detached threads: leave without
    // destroying the process-wide objects they use.
    std::fflush(nullptr);
    std::quick_exit(status);
}
