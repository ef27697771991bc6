#include "Platform/Dispatch/QtMainLoop.h"

#include "Platform/Dispatch/Dispatch.h"

#include <QCoreApplication>
#include <QTimer>

#include <atomic>
#include <chrono>

namespace platform::dispatch {

namespace {

// Lives in the application's thread: drains the main queue when woken, and
// keeps a single-shot timer for the next delayed task.
class MainQueuePump : public QObject {
public:
    explicit MainQueuePump(QObject* parent) : QObject(parent), timer_(this)
    {
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        connect(&timer_, &QTimer::timeout, this, &MainQueuePump::pump);
    }

    // Any thread: one queued call covers every wake until it runs.
    void wake()
    {
        if (!pending_.exchange(true))
            QMetaObject::invokeMethod(this, &MainQueuePump::pump, Qt::QueuedConnection);
    }

    void pump()
    {
        pending_ = false;
        drainMainQueue();
        scheduleNextDelayedTask();
    }

private:
    void scheduleNextDelayedTask()
    {
        const auto wait = timeUntilNextDelayedTask();
        if (!wait) {
            timer_.stop();
            return;
        }
        timer_.start(std::chrono::ceil<std::chrono::milliseconds>(*wait));
    }

    QTimer timer_;
    std::atomic<bool> pending_{false};
};

} // namespace

void attachToQtEventLoop()
{
    auto* application = QCoreApplication::instance();
    adoptMainThread();
    auto* pump = new MainQueuePump(application);
    // The application's destroyed signal comes before its children (the pump) go.
    QObject::connect(application, &QObject::destroyed, [] { setMainQueueWakeHook({}); });
    setMainQueueWakeHook([pump] { pump->wake(); });
    pump->wake();
}

} // namespace platform::dispatch
