// alert-focus-probe: run on an X display without a window manager. A window the
// user types in has the keyboard, then the three alerts show. Exits 0 when the
// keyboard stayed where the user types, 1 when an alert took it, 2 when the
// typing window or the alerts never showed.
#include "Agent/AlertWindows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QWindow>

#include <algorithm>
#include <functional>
#include <iostream>

namespace {

constexpr AlertKind kinds[] = {AlertKind::startupItem, AlertKind::download, AlertKind::crash};

// Runs the event loop until `done` holds or `milliseconds` have passed.
bool runUntil(const std::function<bool()>& done, int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    QLineEdit typing;
    typing.show();
    typing.activateWindow();
    if (!runUntil([&] { return QGuiApplication::focusWindow() == typing.windowHandle(); }, 5000)) {
        std::cerr << "the typing window never got the keyboard" << std::endl;
        return 2;
    }
    AlertWindows alerts;
    for (const AlertKind kind : kinds)
        alerts.showAlert(kind, {});
    const bool shown = runUntil([&] {
        return std::all_of(std::begin(kinds), std::end(kinds), [&](AlertKind kind) {
            return alerts.windowController(kind)->windowHandle()->isExposed();
        });
    }, 5000);
    if (!shown) {
        std::cerr << "the alerts never showed" << std::endl;
        return 2;
    }
    runUntil([] { return false; }, 500); // a focus change on showing has arrived by then
    if (QGuiApplication::focusWindow() == typing.windowHandle())
        return 0;
    std::cerr << "an alert took the keyboard" << std::endl;
    return 1;
}
