#include "wait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <numeric>
#include <thread>

namespace platform
{
namespace
{

class RealClock : public WaitClock
{
public:
    RealClock() { timer_.start(); }

    qint64 nowMs() override { return timer_.elapsed(); }

    void sleep(int ms) override
    {
        if (ms <= 0)
            return;
        if (QCoreApplication::instance() == nullptr) {
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
            return;
        }
        // A local loop keeps painting and timers alive; user input stays queued and is
        // delivered by the next unrestricted event processing.
        QEventLoop loop;
        QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }

private:
    QElapsedTimer timer_;
};

RealClock& realClock()
{
    static RealClock clock;
    return clock;
}

WaitClock* currentClock = nullptr;

} // namespace

WaitClock& waitClock()
{
    return currentClock != nullptr ? *currentClock : realClock();
}

void setWaitClock(WaitClock* clock)
{
    currentClock = clock;
}

void sleepMs(int ms)
{
    waitClock().sleep(ms);
}

qint64 nowMs()
{
    return waitClock().nowMs();
}

bool waitUntil(const std::function<bool()>& done, int maxMs, int pollMs)
{
    WaitClock& clock = waitClock();
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
