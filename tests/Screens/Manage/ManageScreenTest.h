#pragma once

#include "ImmutableFolder.h"
#include "KeyEchoTextTable.h"
#include "ScreenSeams.h"
#include "TestRoot.h"

#include "Foundation/PresentationSlots.h"
#include "Foundation/Settings.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Values/PropertyList.h"
#include "Screens/Common/AppearingScreen.h"
#include "Screens/Common/MainWindow.h"
#include "WidgetTestSupport.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

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
        widgettest::saveSettledGrab(screen, name);
    });
}

// The folder of a store's file made immutable while the object lives: the store reads
// as before and no write to it lands, as on a full disk. isSet() is false where the
// file system or the process cannot do that.
class UnwritableStore : public testsupport::ImmutableFolder {
public:
    explicit UnwritableStore(const platform::UserDefaults& store)
        : ImmutableFolder(std::filesystem::path(store.plistPath()).parent_path())
    {
    }
};

// `view`'s window with the one sheet the real presenter shows on it, drawn where a
// sheet drops down (at the top, centred), saved to <build>/grabs/<name>.png.
inline void grabWithSheet(QWidget& view, const QString& name)
{
    QWidget& window = *view.window();
    const auto boxes = window.findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCoreApplication::processEvents();
    QPixmap shown = window.grab();
    QMessageBox& box = *boxes.front();
    box.render(&shown, QPoint((shown.width() - box.width()) / 2, 0));
    QLabel composed;
    composed.setPixmap(shown);
    composed.resize(shown.size());
    widgettest::saveGrab(composed, name);
}

// Environment variables a test sets; each gets its value from before (or its absence)
// back when the object ends, so the next test finds the process as this one did.
class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment()
    {
        for (auto each = before_.rbegin(); each != before_.rend(); ++each)
            if (each->second)
                ::setenv(each->first.c_str(), each->second->c_str(), 1);
            else
                ::unsetenv(each->first.c_str());
    }

    void set(const std::string& name, const std::string& value)
    {
        const char* current = std::getenv(name.c_str());
        before_.emplace_back(name, current ? std::optional<std::string>(current) : std::nullopt);
        ::setenv(name.c_str(), value.c_str(), 1);
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> before_;
};

// Gives the process back, when it ends, the main bundle it had when it was made (a
// test may point the main bundle at the built application for its icon and version).
class MainBundleKeeper {
public:
    MainBundleKeeper() : path_(platform::Bundle::main().bundlePath()) {}
    MainBundleKeeper(const MainBundleKeeper&) = delete;
    MainBundleKeeper& operator=(const MainBundleKeeper&) = delete;
    ~MainBundleKeeper() { platform::Bundle::setMainBundlePath(path_); }

private:
    std::string path_;
};

// A screen shown on its own has no main window for its sheets while the object lives
// (an earlier test may have made the application's); the one before comes back after.
class WithoutMainWindow {
public:
    WithoutMainWindow() : before_(registeredMainWindow()) { setMainWindow(nullptr); }
    WithoutMainWindow(const WithoutMainWindow&) = delete;
    WithoutMainWindow& operator=(const WithoutMainWindow&) = delete;
    ~WithoutMainWindow() { setMainWindow(before_); }

private:
    QPointer<QWidget> before_;
};

// A fresh platform root, the key-echo text table and the recorded screen seams; the
// main bundle comes back as it was.
class ManageScreenTest : public testsupport::PlatformRootTest {
protected:
    MainBundleKeeper mainBundle;
    screentest::KeyEchoTextTable texts;
    screentest::ScreenSeams seams;
};

} // namespace managetest
