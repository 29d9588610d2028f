#include "wait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <numeric>
#include <thread>

namespace platform
{
qint64 SystemClock::nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SystemClock::sleep(int ms)
{
    if (ms <= 0)
        return;
    if (QCoreApplication::instance() == nullptr) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return;
    }
    // A local loop keeps painting and timers alive; user input stays queued and is delivered
    // by the next unrestricted event processing.
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

WaitClock& systemClock()
{
    static SystemClock clock; // stateless
    return clock;
}

bool waitUntil(WaitClock& clock, const std::function<bool()>& done, int maxMs, int pollMs)
{
    const qint64 start = clock.nowMs();
    while (!done()) {
        if (clock.nowMs() - start >= maxMs)
            return done();
        clock.sleep(pollMs);
    }
    return true;
}

void processPendingEvents()
{
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::processEvents();
}

void ManualClock::sleep(int ms)
{
    sleeps_.push_back(ms);
    if (ms > 0)
        now_ += ms;
    if (onSleep_)
        onSleep_(ms);
}

qint64 ManualClock::totalSlept() const
{
    return std::accumulate(sleeps_.begin(), sleeps_.end(), qint64{0});
}

} // namespace platform
