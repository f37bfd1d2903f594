#include <climits>

#include <gtest/gtest.h>

#include "settings.h"
#include "sweep.h"

TEST(Sweep, NextPositionRunsOneToWidthLessFiftyAndWrapsByTheRemainder)
{
    struct Case { int position, width, next; };
    const Case cases[] = {
        {0, 400, 1}, {349, 400, 350}, {350, 400, 1},
        // Width shrunk under the position: the remainder, not a reset.
        {300, 150, 1}, {250, 150, 51}, {199, 150, 100},
        // No column right of the scale: the first one, no division by zero.
        {5, 51, 1}, {5, 50, 1}, {5, 49, 1}, {5, 0, 1}, {5, -1, 1}, {5, INT_MIN, 1},
        {INT_MAX - 51, INT_MAX, INT_MAX - 50}, {INT_MAX - 50, INT_MAX, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NextSweepPosition(c.position, c.width), c.next) << c.position << ", " << c.width;
}

TEST(Sweep, AdvanceUsesTheCommonWidthAndTheColumnAddsTheScale)
{
    const Settings saved = g_Settings;
    g_Settings.m_iCommonWindowXWidth = 53;
    g_iSweepPosition = 0;
    for (int column : {51, 52, 53, 51}) {
        AdvanceSweepPosition();
        EXPECT_EQ(GetSweepColumn(), column);
    }
    g_Settings = saved;
    g_iSweepPosition = 0;
}
