// The FFT window on a real window: the spectrum column read back against a
// naive cosine-transform reference, the frequency grid, and the height limit
// while capturing. Client height 271 and 48000 Hz unless a test says
// otherwise: band 1 top 0, centre 67, bottom 135, amplitude 60; band 2 top
// 135, centre 202, bottom 270.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/app_state.h"
#include "app/settings.h"
#include "app/sweep.h"
#include "capture/capture_session.h"
#include "tests/wine/support/display_test_support.h"
#include "windows/display_frame.h"
#include "windows/fft_geometry.h"

namespace {

const int kClientHeight = 271;
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kRed = RGB(255, 0, 0);
const double kPi = 3.141592653589793;
// Rows of 0, 8K, ..., 48K in each band at 48000 Hz (the worked example).
const int kGridRows[] = {8, 28, 48, 68, 88, 108, 128, 143, 163, 183, 203, 223, 243, 263};

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

RECT OuterRect(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

void SetOuterHeight(int height)
{
    const RECT r = OuterRect(g_hFFTWindow);
    MoveWindow(g_hFFTWindow, r.left, r.top, Width(r), height, TRUE);
}

// The level spectrum straight from its definition: half-sine window, the
// O(n^2) cosine sum, 20 log10 floored at 0.
std::vector<double> ReferenceLevels(const std::vector<short>& frames, int channel, int n)
{
    std::vector<double> x(n), level(n);
    for (int i = 0; i < n; ++i)
        x[i] = frames[2 * i + channel - 1] * std::sin(kPi / n * i);
    for (int k = 0; k < n; ++k) {
        double c = 0;
        for (int j = 0; j < n; ++j)
            c += x[j] * std::cos(kPi * (j + 0.5) * k / n);
        const double v = 20 * std::log10(c);
        level[k] = v >= 0 ? v : 0;
    }
    return level;
}

// Band 1 or 2 of the 271-row client area: the row of bin j.
int BinRow(int channel, int j, int n, int rate)
{
    const int top = channel == 1 ? 0 : 135, centre = top + 67, bottom = top + 135;
    const double f = static_cast<double>(j) / n * rate;
    return static_cast<int>(bottom - (centre - top) * 0.09999999999999998 -
                            (2.0 * 60 / rate) * f);
}

bool Near(COLORREF a, COLORREF b)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= 1 &&
           std::abs(GetGValue(a) - GetGValue(b)) <= 1 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 1;
}

std::vector<int> BlackRows(int x)
{
    std::vector<int> rows;
    RECT rc;
    GetClientRect(g_hFFTWindow, &rc);
    for (int y = 0; y < rc.bottom; ++y)
        if (PixelAt(g_hFFTWindow, x, y) == kBlack)
            rows.push_back(y);
    return rows;
}

class FFTWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnsureDisplayWindows().created);
        g_bCapturing = false;
        g_iCountOfPCMData = 0;
        ShowForTest(g_hFFTWindow, &g_Settings.m_bIsShowFFTWindow);
        SetCaptureRate(48000);
        SetClientSize(g_hFFTWindow, 0, kClientHeight);
        SendMessageA(g_hFFTWindow, UM_CLEAR, 0, 0);
    }

    void PaintAt(int position, const std::vector<short>& frames)
    {
        g_iSweepPosition = position;
        InstalledBlock block(frames);
        SendMessageA(g_hFFTWindow, UM_NEWDATA, 0, 0);
    }
};

TEST_F(FFTWindow, ColumnPixelsAreTheBinLevelsAtTheirRows)
{
    // Left: two tones and a little noise; right: silence, whose bins are all
    // 0 dB, black.
    std::vector<short> frames;
    uint32_t state = 12345;
    for (int i = 0; i < 400; ++i) {
        state = state * 1664525u + 1013904223u;
        const double noise = static_cast<int>(state >> 23) - 256;
        const double s = 8000 * std::cos(2 * kPi * 10.3 * i / 256) +
                         3000 * std::cos(2 * kPi * 60.7 * i / 256) + noise;
        frames.push_back(static_cast<short>(s));
        frames.push_back(0);
    }
    const int n = 256, rate = 48000, x = 150;
    PaintAt(100, frames);

    // Expected column: white (the blanked sweep column); each bin's colour on
    // its row, the highest bin of a row last; the grid lines over it.
    std::vector<COLORREF> expected(kClientHeight, kWhite);
    for (int channel = 1; channel <= 2; ++channel) {
        const std::vector<double> level = ReferenceLevels(frames, channel, n);
        for (int j = 0; j < n; ++j) {
            const RgbColour c = LevelToColour(level[j]);
            expected[BinRow(channel, j, n, rate)] = RGB(c.red, c.green, c.blue);
        }
    }
    for (int row : kGridRows)
        expected[row] = kBlack;
    int coloured = 0, wrong = 0;
    for (int y = 0; y < kClientHeight; ++y) {
        const COLORREF got = PixelAt(g_hFFTWindow, x, y);
        coloured += got != kWhite && got != kBlack;
        if (!Near(got, expected[y]) && ++wrong <= 8)
            ADD_FAILURE() << "row " << y << ": got " << std::hex << got << ", want "
                          << expected[y];
    }
    EXPECT_EQ(wrong, 0);
    // Negative coefficients read 0 dB, black; the rest of band 1 is coloured.
    EXPECT_GT(coloured, 30) << "too few coloured rows for the test to mean much";

    // The cursor one column right, red but for the grid lines.
    for (int y = 0; y < kClientHeight; ++y) {
        const bool grid = std::find(kGridRows, std::end(kGridRows), y) != std::end(kGridRows);
        EXPECT_EQ(PixelAt(g_hFFTWindow, x + 1, y), grid ? kBlack : kRed) << y;
    }
}

TEST_F(FFTWindow, GridAndLabelsFollowTheRate)
{
    const int right = OuterRect(g_hFFTWindow).right - OuterRect(g_hFFTWindow).left - 12;
    SendMessageA(g_hFFTWindow, UM_NEWDATA, 0, 0);  // stopped: scale only
    EXPECT_EQ(BlackRows(right), std::vector<int>(std::begin(kGridRows), std::end(kGridRows)));
    // Axis at x = 50 and the channel labels.
    EXPECT_EQ(PixelAt(g_hFFTWindow, 50, 100), kBlack);

    SetCaptureRate(96000);  // labels up to 96K: 13 per band, 10 rows apart
    SendMessageA(g_hFFTWindow, UM_CLEAR, 0, 0);
    SendMessageA(g_hFFTWindow, UM_NEWDATA, 0, 0);
    const std::vector<int> rows = BlackRows(right);
    ASSERT_EQ(rows.size(), 26u);
    EXPECT_EQ(rows.front(), 8);
    EXPECT_EQ(rows[12], 128);
    EXPECT_EQ(rows.back(), 263);
}

TEST_F(FFTWindow, RateZeroOrOutOfRangeDrawsAxisAndLabelsOnly)
{
    for (int rate : {0, -48000, 2147483647}) {
        SCOPED_TRACE(rate);
        SetCaptureRate(rate);
        SendMessageA(g_hFFTWindow, UM_CLEAR, 0, 0);
        // Capturing with a whole block: every bin lands on the 0 Hz row when
        // there is no frequency axis; nothing divides by the rate.
        PaintAt(20, ConstantFrames(400, 1000, -1000));
        const std::vector<int> grid = BlackRows(300);
        if (rate == 2147483647) {
            // A huge rate puts all lines on the 0 Hz rows; bounded by the band.
            EXPECT_LE(grid.size(), 4u);
        } else {
            EXPECT_TRUE(grid.empty()) << grid.size() << " grid rows without a rate";
        }
        EXPECT_EQ(PixelAt(g_hFFTWindow, 50, 100), kBlack) << "axis";
        int ink = 0;
        for (int y = 55; y < 75; ++y)
            for (int x2 = 6; x2 < 20; ++x2)
                ink += PixelAt(g_hFFTWindow, x2, y) != kWhite;
        EXPECT_GT(ink, 3) << "the L label";
    }
}

TEST_F(FFTWindow, NoColumnAndNoCursorWhileStopped)
{
    g_iSweepPosition = 100;
    {
        InstalledBlock block(ConstantFrames(400, 1000, 1000), false);
        SendMessageA(g_hFFTWindow, UM_NEWDATA, 0, 0);
    }
    for (int y = 0; y < kClientHeight; y += 5) {
        const COLORREF a = PixelAt(g_hFFTWindow, 150, y), b = PixelAt(g_hFFTWindow, 151, y);
        EXPECT_TRUE(a == kWhite || a == kBlack) << y;
        EXPECT_TRUE(b == kWhite || b == kBlack) << y;
    }
}

TEST_F(FFTWindow, HeightIsLimitedWhileCapturing)
{
    // Stopped: a taller window keeps its height, whatever the buffer holds.
    {
        InstalledBlock block(ConstantFrames(400, 0, 0), false);
        SetOuterHeight(700);
        SendMessageA(g_hFFTWindow, UM_NEWDATA, 0, 0);
    }
    EXPECT_EQ(Height(OuterRect(g_hFFTWindow)), 700);
    EXPECT_EQ(g_Settings.m_FFTWindowYHeight, 700);

    // The next block of a capture brings it down to trunc(256 * 2.2222222222222223).
    PaintAt(1, ConstantFrames(400, 0, 0));
    EXPECT_EQ(Height(OuterRect(g_hFFTWindow)), 568);
    EXPECT_EQ(g_Settings.m_FFTWindowYHeight, 568);

    {
        // Dragged taller during capture: back at once.
        InstalledBlock block(ConstantFrames(400, 0, 0));
        SetOuterHeight(650);
        EXPECT_EQ(Height(OuterRect(g_hFFTWindow)), 568);
        // A lower window keeps its height.
        SetOuterHeight(400);
        SendMessageA(g_hFFTWindow, UM_NEWDATA, 0, 0);
        EXPECT_EQ(Height(OuterRect(g_hFFTWindow)), 400);
    }

    // Fewer frames, a smaller transform, a lower limit: 100 frames give N 64.
    PaintAt(2, ConstantFrames(100, 0, 0));
    EXPECT_EQ(Height(OuterRect(g_hFFTWindow)), 142);

    // 96000 Hz with 800 frames: N 512, limit 1137.
    SetCaptureRate(96000);
    SetOuterHeight(1150);
    PaintAt(3, ConstantFrames(800, 0, 0));
    EXPECT_EQ(Height(OuterRect(g_hFFTWindow)), 1137);
    SetOuterHeight(400);
}

TEST_F(FFTWindow, EmptyBlockWhileCapturingLeavesTheHeightAlone)
{
    // A wake before the first whole block: no transform size, no limit. A
    // limit of 0 would collapse the window, and that height would be saved.
    SetOuterHeight(700);
    PaintAt(1, {});
    EXPECT_EQ(Height(OuterRect(g_hFFTWindow)), 700);
    EXPECT_EQ(g_Settings.m_FFTWindowYHeight, 700);
    SetOuterHeight(400);
}

TEST_F(FFTWindow, MinimisedWindowStoresNothingOnNewData)
{
    // UM_NEWDATA sends the window WM_SIZE of type 0 even while minimised; the
    // icon rectangle must not become the common width.
    const RECT before = OuterRect(g_hFFTWindow);
    const int common = g_Settings.m_iCommonWindowXWidth;
    const int height = g_Settings.m_FFTWindowYHeight;
    const int waveWidth = Width(OuterRect(g_hWaveWindow));
    ShowWindow(g_hFFTWindow, SW_MINIMIZE);
    PumpMessages();
    ASSERT_TRUE(IsIconic(g_hFFTWindow));
    PaintAt(4, ConstantFrames(400, 100, 100));
    EXPECT_EQ(g_Settings.m_iCommonWindowXWidth, common);
    EXPECT_EQ(g_Settings.m_FFTWindowYHeight, height);
    EXPECT_EQ(Width(OuterRect(g_hWaveWindow)), waveWidth);
    ShowWindow(g_hFFTWindow, SW_RESTORE);
    PumpMessages();
    const RECT after = OuterRect(g_hFFTWindow);
    EXPECT_EQ(Width(after), Width(before));
    EXPECT_EQ(Height(after), Height(before));
}

TEST_F(FFTWindow, WidthChangeReachesTheOtherSweepWindows)
{
    const RECT r = OuterRect(g_hFFTWindow);
    MoveWindow(g_hFFTWindow, r.left, r.top, Width(r) + 24, Height(r), TRUE);
    EXPECT_EQ(Width(OuterRect(g_hWaveWindow)), Width(r) + 24);
    EXPECT_EQ(Width(OuterRect(g_hDecibelWindow)), Width(r) + 24);
    MoveWindow(g_hFFTWindow, r.left, r.top, Width(r), Height(r), TRUE);
    EXPECT_EQ(Width(OuterRect(g_hWaveWindow)), Width(r));
}

}  // namespace
