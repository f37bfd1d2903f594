#include <climits>

#include <gtest/gtest.h>

#include "app/settings.h"
#include "app/sweep.h"

TEST(Sweep, RunsOneToWidthLessMarginThenWraps)
{
    // W = 400: positions 1 … 350, columns 51 … 400, then 1 again.
    int p = 0;
    for (int expected = 1; expected <= 350; ++expected) {
        p = NextSweepPosition(p, 400);
        ASSERT_EQ(p, expected);
    }
    EXPECT_EQ(NextSweepPosition(p, 400), 1);
}

TEST(Sweep, ShrunkWidthWrapsByRemainderNotReset)
{
    // Position 300 with W shrunk to 150 (100 columns): 300 mod 100 + 1 = 1;
    // 250 gives 51, not 1.
    EXPECT_EQ(NextSweepPosition(300, 150), 1);
    EXPECT_EQ(NextSweepPosition(250, 150), 51);
    EXPECT_EQ(NextSweepPosition(199, 150), 100);
}

TEST(Sweep, WidthOfFiftyOrLessStaysOnFirstColumn)
{
    for (int width : {51, 50, 49, 1, 0, -1, INT_MIN}) {
        int p = 0;
        for (int step = 0; step < 5; ++step) {
            p = NextSweepPosition(p, width);
            EXPECT_EQ(p, 1) << "width " << width;
        }
    }
}

TEST(Sweep, HugeWidthDoesNotOverflow)
{
    EXPECT_EQ(NextSweepPosition(INT_MAX - 51, INT_MAX), INT_MAX - 50);
    EXPECT_EQ(NextSweepPosition(INT_MAX - 50, INT_MAX), 1);
}

TEST(Sweep, AdvanceUsesCommonWidthAndColumnAddsMargin)
{
    Settings saved = g_Settings;
    g_Settings.m_iCommonWindowXWidth = 53;
    g_iSweepPosition = 0;
    AdvanceSweepPosition();
    EXPECT_EQ(GetSweepColumn(), 51);
    AdvanceSweepPosition();
    AdvanceSweepPosition();
    EXPECT_EQ(GetSweepColumn(), 53);
    AdvanceSweepPosition();
    EXPECT_EQ(GetSweepColumn(), 51);
    g_Settings = saved;
    g_iSweepPosition = 0;
}
