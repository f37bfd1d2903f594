// The FFT window on a real window: a column read back against a naive
// cosine-transform reference, the grid by rate, and the height limit while
// capturing. Client height 271 and 48000 Hz unless a test says otherwise.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "tests/wine/support/display_test_support.h"
#include "fft_geometry.h"

namespace {

const int kClientHeight = 271;
const double kPi = 3.141592653589793;
// Rows of 0, 8K, ..., 48K in each band at 48000 Hz (the worked example).
const int kGridRows[] = {8, 28, 48, 68, 88, 108, 128, 143, 163, 183, 203, 223, 243, 263};

void SetOuterHeight(int height)
{
    const RECT r = OuterRectOf(g_hFFTWindow);
    MoveWindow(g_hFFTWindow, r.left, r.top, Width(r), height, TRUE);
}

int OuterHeight() { return Height(OuterRectOf(g_hFFTWindow)); }

// The level spectrum from its definition: half-sine window, the O(n^2)
// cosine sum, 20 log10 floored at 0.
std::vector<double> ReferenceLevels(const std::vector<short>& frames, int channel, int n)
{
    std::vector<double> x(n), level(n);
    for (int i = 0; i < n; ++i)
        x[i] = frames[2 * i + channel - 1] * std::sin(kPi / n * i);
    for (int k = 0; k < n; ++k) {
        double c = 0;
        for (int j = 0; j < n; ++j)
            c += x[j] * std::cos(kPi * (j + 0.5) * k / n);
        level[k] = std::fmax(20 * std::log10(c), 0.0);  // NaN for c < 0 gives 0
    }
    return level;
}

class FFTWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnsureDisplayWindows().created);
        g_bCapturing = false;
        ShowForTest(&g_Settings.m_bIsShowFFTWindow);
        SetCaptureRate(48000);
        SetClientSize(g_hFFTWindow, 0, kClientHeight);
        SendMessageA(g_hFFTWindow, UM_CLEAR, 0, 0);
    }
};

TEST_F(FFTWindow, ColumnPixelsAreTheBinLevelsAtTheirRows)
{
    // Left: two tones and a little noise; right: silence, 0 dB, black.
    std::vector<short> frames;
    uint32_t state = 12345;
    for (int i = 0; i < 400; ++i) {
        state = state * 1664525u + 1013904223u;
        const double s = 8000 * std::cos(2 * kPi * 10.3 * i / 256) +
                         3000 * std::cos(2 * kPi * 60.7 * i / 256) +
                         static_cast<int>(state >> 23) - 256;
        frames.insert(frames.end(), {static_cast<short>(s), 0});
    }
    const int n = 256, x = 150;
    PaintBlock(g_hFFTWindow, 100, frames);
    // The blanked column, each bin's colour on its row (the highest bin of a
    // row last), the grid over it. Colours within 1: a level on a rounding
    // edge may round either way.
    std::vector<COLORREF> want(kClientHeight, kWhitePixel);
    for (int channel = 1; channel <= 2; ++channel) {
        const std::vector<double> level = ReferenceLevels(frames, channel, n);
        for (int j = 0; j < n; ++j)
            want[FrequencyToY(kClientHeight, channel, BinFrequency(j, n, 48000), 48000)] =
                ToColorRef(LevelToColour(level[j]));
    }
    for (int row : kGridRows)
        want[row] = kBlackPixel;
    int coloured = 0, wrong = 0;
    for (int y = 0; y < kClientHeight; ++y) {
        const COLORREF got = PixelAt(g_hFFTWindow, x, y);
        coloured += got != kWhitePixel && got != kBlackPixel;
        if ((std::abs(GetRValue(got) - GetRValue(want[y])) > 1 ||
             std::abs(GetGValue(got) - GetGValue(want[y])) > 1 ||
             std::abs(GetBValue(got) - GetBValue(want[y])) > 1) && ++wrong <= 8)
            ADD_FAILURE() << "row " << y << ": " << std::hex << got << ", want " << want[y];
    }
    EXPECT_GT(coloured, 30) << "too few coloured rows for the test to mean much";
    // The cursor one column right, red under the 14 grid lines.
    EXPECT_EQ(CountColour(g_hFFTWindow, x + 1, 0, x + 2, kClientHeight, kRedPixel),
              kClientHeight - 14);
    // Stopped: no column and no cursor.
    SendMessageA(g_hFFTWindow, UM_CLEAR, 0, 0);
    PaintBlock(g_hFFTWindow, 100, frames, false);
    EXPECT_EQ(CountColour(g_hFFTWindow, x, 0, x + 2, kClientHeight, kWhitePixel),
              2 * (kClientHeight - 14));
}

TEST_F(FFTWindow, GridFollowsTheRateAndOddRatesDrawAxisAndLabelsOnly)
{
    // 96000 Hz: 0 to 96K, 13 lines a band. No rate: no lines, nothing
    // divides by it. A huge rate puts every line on the 0 Hz rows.
    const struct {
        int rate, rows;
    } cases[] = {{96000, 26}, {0, 0}, {-48000, 0}, {INT_MAX, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rate);
        SetCaptureRate(c.rate);
        SendMessageA(g_hFFTWindow, UM_CLEAR, 0, 0);
        PaintBlock(g_hFFTWindow, 20, ConstantFrames(400, 1000, -1000));
        EXPECT_EQ(CountColour(g_hFFTWindow, 300, 0, 301, kClientHeight, kBlackPixel), c.rows);
        EXPECT_EQ(PixelAt(g_hFFTWindow, 50, 100), kBlackPixel) << "axis";
        EXPECT_LT(CountColour(g_hFFTWindow, 6, 55, 20, 75, kWhitePixel), 14 * 20 - 3) << "L label";
    }
}

TEST_F(FFTWindow, HeightIsLimitedOnEveryBlockWhileCapturing)
{
    SetOuterHeight(700);
    PaintBlock(g_hFFTWindow, 1, ConstantFrames(400, 0, 0), false);  // stopped: no limit
    EXPECT_EQ(OuterHeight(), 700);
    // A wake before the first whole block: no transform size, so no limit
    // (one of 0 would collapse the window, and that height be saved).
    PaintBlock(g_hFFTWindow, 1, {});
    EXPECT_EQ(OuterHeight(), 700);
    EXPECT_EQ(g_Settings.m_FFTWindowYHeight, 700);
    PaintBlock(g_hFFTWindow, 2, ConstantFrames(400, 0, 0));  // trunc(256 x 2.2222222222222223)
    EXPECT_EQ(OuterHeight(), 568);
    EXPECT_EQ(g_Settings.m_FFTWindowYHeight, 568);
    InstallBlock(ConstantFrames(400, 0, 0));  // dragged taller during capture: back at once
    SetOuterHeight(650);
    EXPECT_EQ(OuterHeight(), 568);
    SetOuterHeight(400);  // a lower window keeps its height
    PaintBlock(g_hFFTWindow, 2, ConstantFrames(400, 0, 0));
    EXPECT_EQ(OuterHeight(), 400);
    PaintBlock(g_hFFTWindow, 3, ConstantFrames(100, 0, 0));  // N 64
    EXPECT_EQ(OuterHeight(), 142);
    SetCaptureRate(96000);
    SetOuterHeight(1150);
    PaintBlock(g_hFFTWindow, 4, ConstantFrames(800, 0, 0));  // N 512
    EXPECT_EQ(OuterHeight(), 1137);
    SetOuterHeight(400);
}

TEST_F(FFTWindow, WidthIsSharedButNotWhileMinimised)
{
    const RECT r = OuterRectOf(g_hFFTWindow);
    MoveWindow(g_hFFTWindow, r.left, r.top, Width(r) + 24, Height(r), TRUE);
    EXPECT_EQ(Width(OuterRectOf(g_hWaveWindow)), Width(r) + 24);
    EXPECT_EQ(Width(OuterRectOf(g_hDecibelWindow)), Width(r) + 24);
    MoveWindow(g_hFFTWindow, r.left, r.top, Width(r), Height(r), TRUE);
    // Each block sends WM_SIZE of type 0, minimised or not: the icon's
    // rectangle must not become the common width or the height.
    const int common = g_Settings.m_iCommonWindowXWidth, height = g_Settings.m_FFTWindowYHeight;
    ShowWindow(g_hFFTWindow, SW_MINIMIZE);
    PumpMessages();
    ASSERT_TRUE(IsIconic(g_hFFTWindow));
    PaintBlock(g_hFFTWindow, 4, ConstantFrames(400, 100, 100));
    EXPECT_EQ(g_Settings.m_iCommonWindowXWidth, common);
    EXPECT_EQ(g_Settings.m_FFTWindowYHeight, height);
    EXPECT_EQ(Width(OuterRectOf(g_hWaveWindow)), Width(r));
    ShowWindow(g_hFFTWindow, SW_RESTORE);
    PumpMessages();
    EXPECT_EQ(Width(OuterRectOf(g_hFFTWindow)), Width(r));
    EXPECT_EQ(Height(OuterRectOf(g_hFFTWindow)), Height(r));
}

}  // namespace
