#include "app/exitdeadline.h"

#include <cstdlib>
#include <future>
#include <gtest/gtest.h>

namespace
{

// A clean-up at exit that waits for something that never comes.
void waitForGood()
{
    std::promise<void> never;
    never.get_future().wait();
}

TEST(ExitDeadline, EndsAProcessWhoseExitIsStuckWithTheStatusItWasGiven)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::atexit(waitForGood);
            endProcessWithin(std::chrono::milliseconds(100), 7);
            std::exit(0);
        },
        ::testing::ExitedWithCode(7), "the exit did not finish in time");
}

TEST(ExitDeadline, AnExitThatFinishesKeepsItsOwnStatus)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            endProcessWithin(std::chrono::seconds(20), 7);
            std::exit(3);
        },
        ::testing::ExitedWithCode(3), "");
}

} // namespace
