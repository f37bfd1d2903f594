// The Wave window on a real window: a block is installed as the shared
// sample buffer, UM_NEWDATA sent, and columns read back. Client height 271,
// the worked example's: channel 1 centre 67 (full-scale rows 7 and 127),
// channel 2 centre 202 (rows 142 and 262). The arithmetic is the native
// tests'; here, what reaches the screen.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "tests/wine/support/display_test_support.h"

namespace {

const int kClientHeight = 271;
const COLORREF kCaution = RGB(0, 0, 200);

struct RowRun {
    int first, last;  // inclusive
    COLORREF colour;
};

// Column x should hold white, the runs, then the scale drawn over them.
void ExpectColumn(int x, const std::vector<RowRun>& runs)
{
    std::vector<COLORREF> want(kClientHeight, kWhitePixel);
    for (const RowRun& r : runs)
        for (int y = r.first; y <= r.last; ++y)
            want[y] = r.colour;
    for (int y : {7, 127, 142, 262})
        want[y] = kBlackPixel;
    want[67] = want[202] = kBluePixel;
    int wrong = 0;
    for (int y = 0; y < kClientHeight; ++y) {
        const COLORREF got = PixelAt(g_hWaveWindow, x, y);
        if (got != want[y] && ++wrong <= 5)
            ADD_FAILURE() << "column " << x << " row " << y << ": " << std::hex << got << ", want "
                          << want[y];
    }
}

// 400 frames, silent but for the peaks of each channel.
std::vector<short> PeakBlock(short max1, short min1, short max2, short min2)
{
    std::vector<short> v = ConstantFrames(400, 0, 0);
    v[0] = max1;
    v[2] = min1;
    v[5] = max2;
    v[7] = min2;
    return v;
}

class WaveWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnsureDisplayWindows().created);
        g_bCapturing = false;
        SetClientSize(g_hWaveWindow, 0, kClientHeight);
        g_Settings.m_iCautionDecibelLevel = -6;
        SendMessageA(g_hWaveWindow, UM_CLEAR, 0, 0);
    }
};

TEST_F(WaveWindow, ColumnsKeepTheirPictureAndTheCursorMovesOn)
{
    // Position p paints column p + 50. Worked example (black, rows 37 to 82,
    // the end row left out); full scale in channel 2 (red); one clipped peak
    // (blue, a red mark to the zero line).
    PaintBlock(g_hWaveWindow, 10, PeakBlock(16384, -8192, 0, 0));
    ExpectColumn(61, {{0, kClientHeight - 1, kRedPixel}});
    PaintBlock(g_hWaveWindow, 11, PeakBlock(0, 0, 32767, -32768));
    PaintBlock(g_hWaveWindow, 12, PeakBlock(32200, -1000, 0, 0));
    // Each block blanks the cursor column before drawing into it.
    ExpectColumn(60, {{37, 81, kBlackPixel}});
    ExpectColumn(61, {{142, 261, kRedPixel}});
    ExpectColumn(62, {{9, 67, kCaution}, {9, 66, kRedPixel}});
    ExpectColumn(63, {{0, kClientHeight - 1, kRedPixel}});
}

TEST_F(WaveWindow, EmptyBlockDrawsNoDataLineButMovesTheCursor)
{
    // Count 0 while capturing: the empty scan's start peaks would cover both bands.
    PaintBlock(g_hWaveWindow, 40, {});
    ExpectColumn(90, {});
    ExpectColumn(91, {{0, kClientHeight - 1, kRedPixel}});
}

TEST_F(WaveWindow, ScaleIsDrawnWhenStoppedAndSurvivesASystemRepaint)
{
    PaintBlock(g_hWaveWindow, 60, PeakBlock(16384, -8192, 0, 0));
    InvalidateRect(g_hWaveWindow, nullptr, TRUE);  // erases the history
    UpdateWindow(g_hWaveWindow);
    ExpectColumn(110, {});
    ExpectColumn(111, {});  // no cursor while stopped
    // The axis at x = 50, crossed by the zero lines.
    EXPECT_EQ(CountColour(g_hWaveWindow, 50, 0, 51, kClientHeight, kBlackPixel), kClientHeight - 2);
    // "L-ch" in blue at (10, 59), "R-ch" in red at (10, 194).
    EXPECT_GT(CountColour(g_hWaveWindow, 10, 59, 48, 75, kBluePixel), 10);
    EXPECT_GT(CountColour(g_hWaveWindow, 10, 194, 48, 210, kRedPixel), 10);
    EXPECT_EQ(CountColour(g_hWaveWindow, 10, 59, 48, 75, kRedPixel), 0);
}

}  // namespace
