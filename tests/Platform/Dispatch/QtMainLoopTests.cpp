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

    // Each step queues the next, so the order holds however slowly threads
    // start: 'a' from before the loop, 'b' from a worker while the loop sleeps
    // (the wake hook), 'c' delayed.
    std::string order;
    std::thread worker;
    dispatch::asyncMain([&] {
        order += 'a';
        worker = std::thread([&] {
            dispatch::asyncMain([&] {
                order += 'b';
                dispatch::asyncAfter(20ms, [&] {
                    order += 'c';
                    QCoreApplication::quit();
                });
            });
        });
    });
    // Nothing else ends the loop: only the delayed task's quit, or this guard.
    QTimer::singleShot(60000, &application, [] { QCoreApplication::exit(1); });

    EXPECT_EQ(application.exec(), 0);
    if (worker.joinable())
        worker.join();
    EXPECT_EQ(order, "abc");
}

} // namespace
