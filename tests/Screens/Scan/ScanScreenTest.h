#pragma once

#include "KeyEchoTextTable.h"
#include "ScreenSeams.h"
#include "TestRoot.h"
#include "WidgetTestSupport.h"

#include "Controls/CustomAnimator.h"
#include "Detection/Scan.h"
#include "Detection/SharedLists.h"
#include "Foundation/PresentationSlots.h"
#include "Foundation/SharedState.h"
#include "Foundation/TextTable.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Reachability/NetworkReachability.h"

#include <QWidget>

#include <chrono>
#include <optional>

// A fresh platform root, the built application bundle as the main bundle (its images),
// a key-echo text table, the screen seams answered here, no network, and a window of
// the main window's content size to host a screen. Any scan a test started is run to
// its end, and the shared scan state reset, after each test.
class ScanScreenTest : public testsupport::PlatformRootTest {
protected:
    void SetUp() override
    {
        PlatformRootTest::SetUp();
        platform::Bundle::setMainBundlePath(BG_APP_BUNDLE);
        platform::forceReachabilityFlags(platform::ReachabilityFlags{});
        window.resize(808, 652);
        scanResults().clear();
    }

    void TearDown() override
    {
        platform::dispatch::runMainLoopUntil([] { return !Scan::shared().isScanRunning; }, std::chrono::seconds(30));
        platform::dispatch::runMainLoopUntil([] { return false; }, std::chrono::milliseconds(50)); // its last posts
        Scan::shared().isPaused = false;
        Scan::shared().isAborted = false;
        isLaunchedAsLoginItem = false;
        isScanResultsShown = false;
        isStartupItemsCleanStarted = false;
        scanResults().clear();
        delete dimmingOverlay().data();
        platform::clearReachabilityOverride();
    }

    // Shows `screen` filling the window, as the main window's container does.
    void host(QWidget& screen)
    {
        screen.setParent(&window);
        screen.setGeometry(window.rect());
        window.show();
    }

    // The shipped English table in place of the key echo, for a grab.
    void useEnglishTable() { languageTable() = readBundlePlist("English"); }

    screentest::KeyEchoTextTable keyEcho;
    screentest::ScreenSeams seams;
    QWidget window;
};
