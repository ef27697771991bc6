#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Dispatch/QtMainLoop.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <thread>

using namespace std::chrono_literals;
namespace dispatch = platform::dispatch;

namespace {

TEST(QtMainLoop, EventLoopDrainsTasksFromAnyThreadAndDelayedOnes)
{
    int argc = 1;
    char name[] = "qtmain";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    dispatch::attachToQtEventLoop();

    std::string order;
    dispatch::asyncMain([&] { order += 'a'; });
    dispatch::asyncAfter(40ms, [&] {
        order += 'c';
        QCoreApplication::quit();
    });
    std::thread([&] {
        dispatch::asyncAfter(20ms, [&] { order += 'b'; });
    }).join();
    // Nothing else ends the loop: only the delayed task's quit, or this guard.
    QTimer::singleShot(5000, &application, [] { QCoreApplication::exit(1); });

    EXPECT_EQ(application.exec(), 0);
    EXPECT_EQ(order, "abc");
}

} // namespace
