// The Decibel window on a real window: trace segments and grid read back,
// and the title text. Client height 250, the worked example's: span 225,
// margin 12; 0 dB on row 12, -6.02 dB on row 26, -96 dB on row 237.
//
// The trace state lives as long as the process, so the first test here is
// the first paint of the run.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/settings.h"
#include "app/sweep.h"
#include "capture/capture_session.h"
#include "tests/wine/support/display_test_support.h"
#include "windows/display_frame.h"

namespace {

const int kClientHeight = 250;
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);

// Each channel's peaks as given; the other frames repeat them.
std::vector<short> LevelBlock(short leftMax, short leftMin, short rightMax, short rightMin)
{
    std::vector<short> v;
    for (int i = 0; i < 400; ++i) {
        v.push_back(i % 2 ? leftMin : leftMax);
        v.push_back(i % 2 ? rightMin : rightMax);
    }
    return v;
}

std::vector<short> Silence() { return ConstantFrames(400, 0, 0); }

class DecibelWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnsureDisplayWindows().created);
        g_bCapturing = false;
        SetClientSize(g_hDecibelWindow, 0, kClientHeight);
        SendMessageA(g_hDecibelWindow, UM_CLEAR, 0, 0);
    }

    void PaintAt(int position, const std::vector<short>& frames)
    {
        g_iSweepPosition = position;
        InstalledBlock block(frames);
        SendMessageA(g_hDecibelWindow, UM_NEWDATA, 0, 0);
    }

    COLORREF At(int x, int y) { return PixelAt(g_hDecibelWindow, x, y); }
};

TEST_F(DecibelWindow, FirstPaintOfTheRunStartsBothTracesAtRow100)
{
    EXPECT_EQ(WindowText(g_hDecibelWindow), "有効デシベル");

    // Silence on both channels at position 1: segments from (50, 100) to
    // (51, 237). The x = 50 half lies under the axis; the x = 51 half ends
    // above the -96 dB grid line. Left (blue) lies over right (red).
    PaintAt(1, Silence());
    EXPECT_EQ(At(51, 230), kBlue);
    EXPECT_EQ(At(51, 236), kBlue);
    EXPECT_EQ(At(51, 237), kBlack) << "grid over the end point";
    EXPECT_EQ(At(51, 105), kWhite) << "the segment starts in column 50";
    // Below the "[dB] 0" label, whose opaque background reaches past x = 52.
    for (int y = 30; y < kClientHeight; ++y) {
        if (y == 12 || y == 40 || y == 68 || y == 96 || y == 124 || y == 152 || y == 180 ||
            y == 208 || y == 237)
            continue;  // grid lines
        ASSERT_EQ(At(52, y), kRed) << "cursor row " << y;
    }
    // The first title update comes with the first paint.
    EXPECT_EQ(WindowText(g_hDecibelWindow), "有効デシベル - L: -96.0[dB]  R: -96.0[dB]");
}

TEST_F(DecibelWindow, TitleShowsBothLevelsAtMostOnceASecond)
{
    Sleep(1100);
    // Left peaks sum 15830: -12.34 dB. Right peaks sum 32845: -6.00 dB.
    PaintAt(5, LevelBlock(7915, -7915, 16422, -16423));
    EXPECT_EQ(WindowText(g_hDecibelWindow), "有効デシベル - L: -12.3[dB]  R:  -6.0[dB]");

    // Within the second: the title keeps the earlier values.
    PaintAt(6, Silence());
    EXPECT_EQ(WindowText(g_hDecibelWindow), "有効デシベル - L: -12.3[dB]  R:  -6.0[dB]");

    // Stopped: the title is not changed back.
    Sleep(1100);
    g_iSweepPosition = 7;
    SendMessageA(g_hDecibelWindow, UM_NEWDATA, 0, 0);
    EXPECT_EQ(WindowText(g_hDecibelWindow), "有効デシベル - L: -12.3[dB]  R:  -6.0[dB]");
}

TEST_F(DecibelWindow, SegmentsJoinThePreviousPointOfEachChannel)
{
    PaintAt(10, Silence());  // both traces end on row 237 at x = 60
    // Left at full scale (0 dB, row 12), right silent: the left segment
    // climbs from (60, 237) to (61, 12); its x = 61 half covers rows 13..124.
    PaintAt(11, LevelBlock(32767, -32768, 0, 0));
    EXPECT_EQ(At(61, 20), kBlue);
    EXPECT_EQ(At(61, 120), kBlue);
    EXPECT_NE(At(61, 11), kBlue) << "nothing above the 0 dB row";

    // Right at full scale, left at -6.02 dB (row 26): the right segment climbs
    // from (61, 237) to (62, 12) in red; the left one runs from (61, 12) down
    // to (62, 26) in blue, over the red where they cross.
    PaintAt(12, LevelBlock(16384, -16384, 32767, -32768));
    EXPECT_EQ(At(62, 100), kRed);
    EXPECT_EQ(At(62, 22), kBlue);
    EXPECT_EQ(At(62, 26), kRed) << "the left segment leaves out its end row";
}

TEST_F(DecibelWindow, EmptyBlockMeasuresMinus96)
{
    PaintAt(20, LevelBlock(32767, -32768, 32767, -32768));  // both at row 12
    PaintAt(21, {});  // count 0: -96 dB, row 237
    EXPECT_EQ(At(71, 200), kBlue);
    EXPECT_EQ(At(71, 236), kBlue);
}

// Black rows in a column right of all labels and traces.
std::vector<int> GridRows(HWND window)
{
    RECT rc;
    GetClientRect(window, &rc);
    std::vector<int> rows;
    for (int y = 0; y < rc.bottom; ++y)
        if (PixelAt(window, rc.right - 3, y) == kBlack)
            rows.push_back(y);
    return rows;
}

TEST_F(DecibelWindow, GridEvery12DecibelsUpTo300RowsThenEvery6)
{
    // H = 250: rows trunc(|v| / 96 * 225 + 12) for v = -96, -84, ..., 0.
    SendMessageA(g_hDecibelWindow, UM_NEWDATA, 0, 0);
    EXPECT_EQ(GridRows(g_hDecibelWindow),
              (std::vector<int>{12, 40, 68, 96, 124, 152, 180, 208, 237}));

    SetClientSize(g_hDecibelWindow, 0, 300);
    SendMessageA(g_hDecibelWindow, UM_NEWDATA, 0, 0);
    EXPECT_EQ(GridRows(g_hDecibelWindow).size(), 9u);
    SetClientSize(g_hDecibelWindow, 0, 301);
    SendMessageA(g_hDecibelWindow, UM_NEWDATA, 0, 0);
    EXPECT_EQ(GridRows(g_hDecibelWindow).size(), 17u);
}

TEST_F(DecibelWindow, AxisAndLabelsSitOnTheScale)
{
    SendMessageA(g_hDecibelWindow, UM_NEWDATA, 0, 0);
    // The axis runs down to the -96 dB row only. Its top lies under the
    // "[dB] 0" label (rows 4 on), drawn after it with an opaque background.
    for (int y = 30; y < 237; ++y)
        ASSERT_EQ(At(50, y), kBlack) << y;
    EXPECT_EQ(At(50, 237), kBlack) << "the -96 dB grid line";
    EXPECT_EQ(At(50, 238), kWhite);
    // Labels: "[dB] 0" from x = 5 and "-96" from x = 20, 8 rows above their
    // lines; nothing left of x = 20 on the -96 line's label rows.
    auto ink = [this](int left, int right, int top) {
        int n = 0;
        for (int y = top; y < top + 8; ++y)
            for (int x = left; x < right; ++x)
                n += At(x, y) != kWhite;
        return n;
    };
    EXPECT_GT(ink(5, 20, 4), 5);
    EXPECT_GT(ink(20, 45, 229), 5);
    EXPECT_EQ(ink(0, 19, 229), 0);
}

}  // namespace
