#include "app/windowplacement.h"

#include <gtest/gtest.h>

namespace
{

const QSize Panel(600, 308);
const QRect Left(0, 0, 1280, 1024);
const QRect Right(1280, 0, 1920, 1080);

TEST(WindowPlacement, AnyPartOnAScreenKeepsTheStoredPlaceExactly)
{
    for (const QPoint stored : {QPoint(100, 200), QPoint(-599, -307), QPoint(1279, 1023),
                                QPoint(3199, 500), QPoint(1000, 1000)})
        EXPECT_EQ(placeOnScreens(stored, Panel, {Left, Right}), stored)
            << stored.x() << "," << stored.y();
}

TEST(WindowPlacement, AWindowOffEveryScreenComesOntoTheNearestOne)
{
    // Far right: onto the right screen, at its right edge, at the stored height.
    EXPECT_EQ(placeOnScreens(QPoint(32767, 300), Panel, {Left, Right}),
              QPoint(1280 + 1920 - 600, 300));
    // Far above the left screen.
    EXPECT_EQ(placeOnScreens(QPoint(50, -5000), Panel, {Left, Right}), QPoint(50, 0));
    // Below both, under the right one: its bottom edge is nearer.
    EXPECT_EQ(placeOnScreens(QPoint(2000, 4000), Panel, {Left, Right}), QPoint(2000, 1080 - 308));
    // Just one pixel off the left screen's left edge.
    EXPECT_EQ(placeOnScreens(QPoint(-600, 10), Panel, {Left, Right}), QPoint(0, 10));
}

TEST(WindowPlacement, AWindowLargerThanTheScreenKeepsToItsTopLeft)
{
    const QRect small(0, 0, 400, 300);
    EXPECT_EQ(placeOnScreens(QPoint(5000, 5000), Panel, {small}), QPoint(0, 0));
}

TEST(WindowPlacement, NoScreenLeavesThePlaceAlone)
{
    EXPECT_EQ(placeOnScreens(QPoint(32767, 32767), Panel, {}), QPoint(32767, 32767));
}

} // namespace
