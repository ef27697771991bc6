// The application: hands the process to the Qt event loop with the application's
// delegate, as the platform's application main does. A second start in the user's
// session brings the running application forward and leaves.
#include "App/AppDelegate.h"
#include "App/ApplicationInstance.h"
#include "Controls/KeyboardFocusRing.h"
#include "Foundation/InstanceLock.h"
#include "Foundation/TerminationSignal.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Dispatch/QtMainLoop.h"
#include "Platform/Tools/ToolPaths.h"
#include "Screens/Common/AuthorizationPrompt.h"
#include "Screens/Common/UpdaterWindow.h"

#include <QApplication>

#include <cstdlib>
#include <filesystem>

namespace {

// Shell commands find the platform's tools ("open", "launchctl") by name, as on the
// platform: their folder goes first on the search path.
void putPlatformToolsOnPath()
{
    const auto folder = std::filesystem::path(platform::resolveToolPath("/usr/bin/open")).parent_path().string();
    const char* path = std::getenv("PATH");
    setenv("PATH", (folder + ":" + (path ? path : "/usr/bin:/bin")).c_str(), 1);
}

} // namespace

int main(int argc, char** argv)
{
    const platform::FileLock instance = takeApplicationInstanceLock();
    if (!instance.held()) {
        askRunningApplicationToComeForward();
        return 0;
    }
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    controls::showFocusRingOnKeyboardFocus();
    platform::dispatch::adoptMainThread();
    platform::dispatch::attachToQtEventLoop();
    quitOnTerminationSignal(); // a logout or a session stop quits as the menu does
    putPlatformToolsOnPath();
    installAuthorizationPrompt();
    installUpdaterWindows();

    AppDelegate& delegate = AppDelegate::shared();
    const platform::ObservationToken comeForwardRequests = comeForwardWhenAsked(delegate);
    delegate.applicationWillFinishLaunching();
    platform::dispatch::asyncMain([&delegate] { delegate.applicationDidFinishLaunching(); });
    QObject::connect(&application, &QApplication::aboutToQuit, [&delegate] { delegate.applicationWillTerminate(); });
    QObject::connect(&application, &QGuiApplication::applicationStateChanged, [&delegate](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive)
            delegate.applicationDidBecomeActive();
    });
    application.exec();
    platform::dispatch::finishGlobalQueue(0);
    return 0;
}
