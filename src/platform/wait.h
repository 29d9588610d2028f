#pragma once

#include <QtGlobal>
#include <functional>
#include <vector>

namespace platform
{

// The clock behind every blocking pause of the system (the lamp test, waited sounds, scroll
// pauses) and every elapsed-time measurement. The composition root hands one to each class
// that waits; tests hand a ManualClock so they never sleep for real.
class WaitClock
{
public:
    virtual ~WaitClock() = default;
    // Monotonic milliseconds.
    virtual qint64 nowMs() = 0;
    // Blocks for ms milliseconds. The real clock keeps the windows painting but holds back
    // user input, which runs once the pause is over.
    virtual void sleep(int ms) = 0;
};

// The real clock: the monotonic time of the system. It keeps no state of its own, so one
// instance serves every user.
class SystemClock : public WaitClock
{
public:
    qint64 nowMs() override;
    void sleep(int ms) override;
};

// The shared real clock, for classes built without a clock of their own.
WaitClock& systemClock();

// Pauses on the clock in steps of pollMs until done() is true or maxMs have passed; returns
// done().
bool waitUntil(WaitClock& clock, const std::function<bool()>& done, int maxMs, int pollMs = 10);

// Runs the pending window events, user input included.
void processPendingEvents();

// A clock that only moves when told to. sleep() records the pause and advances the time
// at once; an optional hook runs on every pause (to simulate what happens meanwhile).
class ManualClock : public WaitClock
{
public:
    qint64 nowMs() override { return now_; }
    void sleep(int ms) override;
    void advance(qint64 ms) { now_ += ms; }

    const std::vector<int>& sleeps() const { return sleeps_; }
    qint64 totalSlept() const;
    void clearSleeps() { sleeps_.clear(); }
    void setOnSleep(std::function<void(int)> hook) { onSleep_ = std::move(hook); }

private:
    qint64 now_ = 0;
    std::vector<int> sleeps_;
    std::function<void(int)> onSleep_;
};

} // namespace platform
