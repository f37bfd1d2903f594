// The Decibel window on a real window: trace, grid and title read back.
// Client height 250, the worked example's: 0 dB on row 12, -6.02 dB on row
// 26, -96 dB on row 237. The trace state lives as long as the process, so
// the first test here is the first paint of the run.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "tests/wine/support/display_test_support.h"

namespace {

const int kClientHeight = 250;
const int kGridRows[] = {12, 40, 68, 96, 124, 152, 180, 208, 237};

// Frames alternating between each channel's two peaks.
std::vector<short> LevelBlock(short leftMax, short leftMin, short rightMax, short rightMin)
{
    std::vector<short> v;
    for (int i = 0; i < 400; ++i)
        v.insert(v.end(), {i % 2 ? leftMin : leftMax, i % 2 ? rightMin : rightMax});
    return v;
}

class DecibelWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnsureDisplayWindows().created);
        g_bCapturing = false;
        SetClientSize(g_hDecibelWindow, 0, kClientHeight);
        SendMessageA(g_hDecibelWindow, UM_CLEAR, 0, 0);
    }

    COLORREF At(int x, int y) { return PixelAt(g_hDecibelWindow, x, y); }
};

TEST_F(DecibelWindow, FirstPaintStartsBothTracesAtRow100AndSetsTheTitle)
{
    // Silence at position 1: segments (50, 100) to (51, 237); the x = 51 half
    // ends above the -96 dB grid line. Left (blue) lies over right (red).
    PaintBlock(g_hDecibelWindow, 1, ConstantFrames(400, 0, 0));
    EXPECT_EQ(At(51, 230), kBluePixel);
    EXPECT_EQ(At(51, 236), kBluePixel);
    EXPECT_EQ(At(51, 237), kBlackPixel) << "grid over the end point";
    EXPECT_EQ(At(51, 105), kWhitePixel) << "the segment starts in column 50";
    EXPECT_EQ(CountColour(g_hDecibelWindow, 52, 30, 53, 68, kRedPixel), 37) << "cursor, grid at 40";
    EXPECT_EQ(WindowText(g_hDecibelWindow), "有効デシベル - L: -96.0[dB]  R: -96.0[dB]");
}

TEST_F(DecibelWindow, TitleShowsBothLevelsAtMostOnceASecond)
{
    const char* const kTitle = "有効デシベル - L: -12.3[dB]  R:  -6.0[dB]";
    Sleep(1100);
    // Left peaks sum 15830: -12.34 dB. Right peaks sum 32845: -6.00 dB.
    PaintBlock(g_hDecibelWindow, 5, LevelBlock(7915, -7915, 16422, -16423));
    EXPECT_EQ(WindowText(g_hDecibelWindow), kTitle);
    PaintBlock(g_hDecibelWindow, 6, ConstantFrames(400, 0, 0));
    EXPECT_EQ(WindowText(g_hDecibelWindow), kTitle) << "within the second";
    Sleep(1100);
    PaintBlock(g_hDecibelWindow, 7, {}, false);
    EXPECT_EQ(WindowText(g_hDecibelWindow), kTitle) << "stopped: not changed back";
}

TEST_F(DecibelWindow, SegmentsJoinThePreviousPointOfEachChannel)
{
    PaintBlock(g_hDecibelWindow, 10, ConstantFrames(400, 0, 0));  // both end on row 237, x = 60
    // Left at 0 dB (row 12): it climbs from (60, 237) to (61, 12).
    PaintBlock(g_hDecibelWindow, 11, LevelBlock(32767, -32768, 0, 0));
    EXPECT_EQ(At(61, 20), kBluePixel);
    EXPECT_EQ(At(61, 120), kBluePixel);
    EXPECT_NE(At(61, 11), kBluePixel) << "nothing above the 0 dB row";
    // Right at 0 dB climbs from (61, 237) in red; left at -6.02 dB (row 26)
    // comes down from (61, 12) in blue, over the red where they cross.
    PaintBlock(g_hDecibelWindow, 12, LevelBlock(16384, -16384, 32767, -32768));
    EXPECT_EQ(At(62, 100), kRedPixel);
    EXPECT_EQ(At(62, 22), kBluePixel);
    EXPECT_EQ(At(62, 26), kRedPixel) << "the left segment leaves out its end row";
    // An empty block measures -96 dB: both back down to row 237.
    PaintBlock(g_hDecibelWindow, 13, {});
    EXPECT_EQ(At(63, 200), kBluePixel);
    EXPECT_EQ(At(63, 236), kBluePixel);
}

TEST_F(DecibelWindow, ScaleGridAxisAndLabels)
{
    SendMessageA(g_hDecibelWindow, UM_NEWDATA, 0, 0);  // stopped: the scale only
    EXPECT_EQ(CountColour(g_hDecibelWindow, 300, 0, 301, kClientHeight, kBlackPixel), 9);
    for (int row : kGridRows)
        EXPECT_EQ(At(300, row), kBlackPixel) << row;
    // The axis runs to the -96 dB row only; its top lies under the "[dB] 0"
    // label, drawn after it with an opaque background.
    EXPECT_EQ(CountColour(g_hDecibelWindow, 50, 30, 51, 238, kBlackPixel), 208);
    EXPECT_EQ(At(50, 238), kWhitePixel);
    // "[dB] 0" from x = 5 and "-96" from x = 20, 8 rows above their lines.
    EXPECT_LT(CountColour(g_hDecibelWindow, 5, 4, 20, 12, kWhitePixel), 15 * 8 - 5);
    EXPECT_LT(CountColour(g_hDecibelWindow, 20, 229, 45, 237, kWhitePixel), 25 * 8 - 5);
    EXPECT_EQ(CountColour(g_hDecibelWindow, 0, 229, 19, 237, kWhitePixel), 19 * 8);
}

}  // namespace
