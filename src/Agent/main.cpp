// The protection agent: a background application without a main window, started by
// launchd through "/usr/bin/open". A second agent of the same user leaves at once.
// So does one whose copy was replaced while it started (the launch that replaces it
// holds the lock meanwhile): the fresh copy is the one to run.
#include "Foundation/InstanceLock.h"
#include "Agent/AppDelegate.h"
#include "Controls/KeyboardFocusRing.h"
#include "Foundation/TerminationSignal.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Dispatch/QtMainLoop.h"
#include "Platform/Workspace/ProcessList.h"
#include "Screens/Common/AuthorizationPrompt.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

// Started by its path, the process no longer runs the file at that path.
bool startedFromAReplacedCopy(const char* startedAs)
{
    return startedAs && startedAs[0] == '/' && !platform::runsTheFileAt(startedAs);
}

} // namespace

int main(int argc, char** argv)
{
    const platform::FileLock instance = takeAgentInstanceLock();
    if (!instance.held() || startedFromAReplacedCopy(argv[0]))
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
