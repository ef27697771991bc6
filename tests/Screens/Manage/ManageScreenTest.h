#pragma once

#include "KeyEchoTextTable.h"
#include "ScreenSeams.h"
#include "TestRoot.h"

#include "Foundation/PresentationSlots.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Values/PropertyList.h"
#include "Screens/Common/AppearingScreen.h"
#include "WidgetTestSupport.h"

#include <QWidget>

#include <chrono>
#include <functional>
#include <memory>

namespace managetest {

// The content area of the main window (its 1008 x 720 less sidebar, header and footer).
inline constexpr QSize contentSize(808, 652);

inline bool waitFor(const std::function<bool()>& condition, std::chrono::seconds timeout = std::chrono::seconds(10))
{
    return platform::dispatch::runMainLoopUntil(condition, timeout);
}

// Puts `screen` on show in a window of the content area's size, its appear steps run.
inline void showInWindow(QWidget& screen)
{
    screen.resize(contentSize);
    if (auto* steps = dynamic_cast<AppearingScreen*>(&screen))
        steps->viewWillAppear();
    screen.show();
}

// Runs `body` with the shipped English table loaded (the table before comes back
// after): what the grabs show.
inline void withEnglish(const std::function<void()>& body)
{
    auto& table = languageTable();
    const auto previous = table;
    table = *platform::readPropertyListFile(BG_ENGLISH_TABLE)->asDictionary();
    body();
    table = previous;
}

// A screen made with the English table, shown at the content area's size and grabbed
// to <build>/grabs/<name>.png after `prepare`.
template <class Screen>
void grabScreen(const QString& name, const std::function<void(Screen&)>& prepare = {})
{
    withEnglish([&] {
        Screen screen;
        showInWindow(screen);
        if (prepare)
            prepare(screen);
        widgettest::saveGrab(screen, name);
    });
}

// A fresh platform root, the key-echo text table and the recorded screen seams.
class ManageScreenTest : public testsupport::PlatformRootTest {
protected:
    screentest::KeyEchoTextTable texts;
    screentest::ScreenSeams seams;
};

} // namespace managetest
