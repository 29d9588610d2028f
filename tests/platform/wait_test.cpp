#include "platform/wait.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

TEST(Wait, ManualClockRecordsPausesWithoutSleeping)
{
    platform::ManualClock clock;
    QElapsedTimer real;
    real.start();
    clock.sleep(3000);
    clock.sleep(250);
    EXPECT_LT(real.elapsed(), 1000);
    EXPECT_EQ(clock.nowMs(), 3250);
    EXPECT_EQ(clock.sleeps(), (std::vector<int>{3000, 250}));
}

TEST(Wait, WaitUntilPollsThroughTheClock)
{
    platform::ManualClock clock;
    int polls = 0;
    EXPECT_TRUE(platform::waitUntil(
        clock, [&] { return ++polls == 5; }, 1000, 10));
    EXPECT_EQ(clock.totalSlept(), 40);
    EXPECT_FALSE(platform::waitUntil(
        clock, [] { return false; }, 100, 10));
}

TEST(Wait, RealPauseKeepsTimersRunningButHoldsUserInput)
{
    int argc = 1;
    char name[] = "wait_test";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(5);
    platform::SystemClock clock;
    const qint64 before = clock.nowMs();
    clock.sleep(60);
    EXPECT_GE(clock.nowMs() - before, 60);
    EXPECT_GE(ticks, 2);
}
