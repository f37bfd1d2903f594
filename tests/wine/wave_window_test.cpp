// The Wave window on a real window: a block made here is installed as the
// shared sample buffer, UM_NEWDATA is sent, and the column is read back.
// Client height 271 throughout, the worked example's: half 135, amplitude 60,
// channel 1 centre 67 (full-scale rows 7 and 127), channel 2 centre 202
// (full-scale rows 142 and 262).
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "app/app_state.h"
#include "app/settings.h"
#include "app/sweep.h"
#include "capture/capture_session.h"
#include "tests/wine/support/display_test_support.h"
#include "windows/display_frame.h"

namespace {

const int kClientHeight = 271;
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kCaution = RGB(0, 0, 200);

struct RowRun {
    int first, last;  // rows, inclusive
    COLORREF colour;
};

// What column x should hold: white, the given runs, then the scale lines that
// cross every column (drawn after the data).
std::vector<COLORREF> ExpectedColumn(const std::vector<RowRun>& runs)
{
    std::vector<COLORREF> column(kClientHeight, kWhite);
    for (const RowRun& r : runs)
        for (int y = r.first; y <= r.last; ++y)
            column[y] = r.colour;
    for (int y : {7, 127, 142, 262})
        column[y] = kBlack;
    for (int y : {67, 202})
        column[y] = kBlue;
    return column;
}

void ExpectColumn(int x, const std::vector<COLORREF>& expected)
{
    HDC dc = GetDC(g_hWaveWindow);
    int wrong = 0;
    for (int y = 0; y < kClientHeight; ++y) {
        const COLORREF got = GetPixel(dc, x, y);
        if (got != expected[y] && ++wrong <= 5)
            ADD_FAILURE() << "column " << x << " row " << y << ": got " << std::hex << got
                          << ", want " << expected[y];
    }
    ReleaseDC(g_hWaveWindow, dc);
    EXPECT_EQ(wrong, 0);
}

// Block whose channel 1 has peaks (max1, min1) and channel 2 (max2, min2);
// the other frames are silent.
std::vector<short> PeakBlock(short max1, short min1, short max2, short min2, int frames = 400)
{
    std::vector<short> v = ConstantFrames(frames, 0, 0);
    v[0] = max1;  // frame 0 left
    v[2] = min1;  // frame 1 left
    v[5] = max2;  // frame 2 right
    v[7] = min2;  // frame 3 right
    // Peaks that lie on one side of zero must stand alone, without the zeros.
    for (int i = 0; i < frames; ++i) {
        if (max1 < 0 || min1 > 0)
            v[2 * i] = i % 2 ? min1 : max1;
        if (max2 < 0 || min2 > 0)
            v[2 * i + 1] = i % 2 ? min2 : max2;
    }
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

    // Paints one block at sweep position p (column p + 50).
    void PaintAt(int position, const std::vector<short>& frames)
    {
        g_iSweepPosition = position;
        InstalledBlock block(frames);
        SendMessageA(g_hWaveWindow, UM_NEWDATA, 0, 0);
    }
};

TEST_F(WaveWindow, ColumnRowsAndColoursFollowThePeaks)
{
    // Rows from up = trunc(|max| / 32767 * 60), down = trunc(|min| / 32768 * 60);
    // the line covers centre - up ... centre + down - 1.
    struct Case {
        const char* what;
        short max1, min1, max2, min2;
        std::vector<RowRun> runs;
    };
    const Case cases[] = {
        // Worked example: up 30, down 15, -8.52 dB below the caution level.
        {"worked example, black", 16384, -8192, 0, 0, {{37, 81, kBlack}}},
        // Full scale in channel 2: level 0.0, red between the full-scale lines.
        {"full scale, red", 0, 0, 32767, -32768, {{142, 261, kRed}}},
        // Only the upper peak clipped (-3.82 dB): blue, its upper part red to
        // the zero line.
        {"high clip", 32200, -10000, 0, 0, {{9, 84, kCaution}, {9, 66, kRed}}},
        // Only the lower peak clipped (-5.91 dB): red from the line's end row
        // up to the zero line.
        {"low clip", 1000, -32200, 0, 0, {{66, 124, kCaution}, {68, 125, kRed}}},
        // Both clipped but -0.15 dB, below -0.1: all blue, no red part.
        {"both clipped", 32200, -32200, 0, 0, {{9, 124, kCaution}}},
        // All samples -5000: drawn on both sides of the zero line, 9 rows each.
        {"one-sided block", -5000, -5000, 0, 0, {{58, 75, kBlack}}},
    };
    int position = 10;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PaintAt(position, PeakBlock(c.max1, c.min1, c.max2, c.min2));
        ExpectColumn(position + 50, ExpectedColumn(c.runs));
        position += 10;
    }
}

TEST_F(WaveWindow, CautionLevelIsAStrictBound)
{
    // Peaks 16384 / -16384: sum 32768, -6.02 dB. Black at caution -6 (below),
    // blue at caution -7 (above).
    g_Settings.m_iCautionDecibelLevel = -6;
    PaintAt(20, PeakBlock(16384, -16384, 0, 0));
    ExpectColumn(70, ExpectedColumn({{37, 96, kBlack}}));
    g_Settings.m_iCautionDecibelLevel = -7;
    PaintAt(21, PeakBlock(16384, -16384, 0, 0));
    ExpectColumn(71, ExpectedColumn({{37, 96, kCaution}}));
}

TEST_F(WaveWindow, CursorStandsOneColumnAheadAndOlderColumnsStay)
{
    PaintAt(30, PeakBlock(16384, -8192, 0, 0));
    PaintAt(31, PeakBlock(0, 0, 32767, -32768));
    // The older column keeps its picture; the newest is at 81; the red cursor
    // at 82 spans the client height under the scale lines.
    ExpectColumn(80, ExpectedColumn({{37, 81, kBlack}}));
    ExpectColumn(81, ExpectedColumn({{142, 261, kRed}}));
    ExpectColumn(82, ExpectedColumn({{0, kClientHeight - 1, kRed}}));

    // The next block blanks the cursor column before drawing into it.
    PaintAt(32, PeakBlock(0, 0, 0, 0));
    ExpectColumn(82, ExpectedColumn({}));
    ExpectColumn(83, ExpectedColumn({{0, kClientHeight - 1, kRed}}));
}

TEST_F(WaveWindow, EmptyBlockDrawsNoDataLineButMovesTheCursor)
{
    // Count 0 while capturing (a wake before the first whole block). A column
    // drawn from the empty scan's start peaks would cover both bands.
    PaintAt(40, {});
    ExpectColumn(90, ExpectedColumn({}));
    ExpectColumn(91, ExpectedColumn({{0, kClientHeight - 1, kRed}}));
}

TEST_F(WaveWindow, ScaleAxisAndLabelsAreDrawnEvenWhenStopped)
{
    g_iSweepPosition = 50;
    SendMessageA(g_hWaveWindow, UM_NEWDATA, 0, 0);  // capturing flag clear
    ExpectColumn(100, ExpectedColumn({}));
    ExpectColumn(101, ExpectedColumn({}));  // no cursor while stopped
    // The axis, crossed by the zero lines that start on it.
    for (int y = 0; y < kClientHeight; ++y)
        ASSERT_EQ(PixelAt(g_hWaveWindow, 50, y), y == 67 || y == 202 ? kBlue : kBlack)
            << "axis row " << y;

    // "L-ch" in blue at (10, 59), "R-ch" in red at (10, 194).
    auto count = [](int top, COLORREF colour) {
        int n = 0;
        for (int y = top; y < top + 16; ++y)
            for (int x = 10; x < 48; ++x)
                n += PixelAt(g_hWaveWindow, x, y) == colour;
        return n;
    };
    EXPECT_GT(count(59, kBlue), 10);
    EXPECT_GT(count(194, kRed), 10);
    EXPECT_EQ(count(59, kRed), 0);
}

TEST_F(WaveWindow, SystemRepaintClearsTheHistoryAndLeavesTheScale)
{
    PaintAt(60, PeakBlock(16384, -8192, 0, 0));
    g_bCapturing = false;
    InvalidateRect(g_hWaveWindow, nullptr, TRUE);
    UpdateWindow(g_hWaveWindow);
    ExpectColumn(110, ExpectedColumn({}));
}

}  // namespace
