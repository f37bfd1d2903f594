// What the display windows draw, as numbers: bands, Wave columns, Decibel rows
// and title, FFT sizes, rows and colours, the X-Y plot and its square rule,
// and where a window lost off the monitors goes. Rows worked by hand.
#include <gtest/gtest.h>

#include <climits>
#include <utility>
#include <vector>

#include "channel_band.h"
#include "decibel_geometry.h"
#include "fft_geometry.h"
#include "frame_geometry.h"
#include "resurge_geometry.h"
#include "wave_geometry.h"

const RgbColour kCautionBlue = {0, 0, 200};

static ChannelBand Band(int height, int channel)
{
    ChannelBand b = {-7, -7, -7, -7};
    ComputeChannelBand(height, channel, kChannelBandScale, &b);
    return b;
}

TEST(ChannelBand, HalvesOfTheClientArea)
{
    // half = H / 2; centre = half / 2 + offset; amplitude = trunc(half x 0.45).
    const struct {
        int height, channel, top, centre, bottom, amplitude;
    } cases[] = {
        {271, 1, 0, 67, 135, 60},
        {271, 2, 135, 202, 270, 60},
        {1, 1, 0, 0, 0, 0},
        {1, 2, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const ChannelBand b = Band(c.height, c.channel);
        EXPECT_EQ((std::vector<int>{b.top, b.centre, b.bottom, b.amplitude}),
                  (std::vector<int>{c.top, c.centre, c.bottom, c.amplitude}))
            << c.height << "/" << c.channel;
    }
}

TEST(Wave, ColumnRowsColoursAndClipMarks)
{
    // H 271, caution -6: up = trunc(|max| / 32767 x 60), down = trunc(|min| / 32768 x 60)
    // from centre 67 (channel 1) or 202 (channel 2).
    const struct {
        int channel, max, min;
        double level;
        int y1, y2;
        RgbColour colour;
        int mark;
    } cases[] = {
        {1, 16384, -8192, -8.52, 37, 82, kBlack, 0},       // worked example
        {1, 32767, -32767, -0.000133, 7, 126, kRed, 0},    // down over 32768: 59.998 rows
        {1, 32767, -32100, -0.09, 7, 125, kRed, 0},        // red: no mark for one clipped peak
        {1, 32200, -1000, -5.91, 9, 68, kCautionBlue, 9},  // upper peak clipped
        {2, 1000, -32200, -5.91, 201, 260, kCautionBlue, 260},
        {1, 32200, -32200, -0.15, 9, 125, kCautionBlue, 0},  // both clipped: no mark
        {1, 32111, -1000, -5.93, 9, 68, kCautionBlue, 0},    // 32111 is not beyond
        {1, 32112, -1000, -5.93, 9, 68, kCautionBlue, 9},
        {1, -5000, -5000, -16.33, 58, 76, kBlack, 0},  // both sides of the zero line
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.max << " " << c.min);
        WaveColumn w = {};
        ASSERT_TRUE(
            ComputeWaveColumn(Band(271, c.channel), 77, 400, c.max, c.min, c.level, -6, &w));
        EXPECT_EQ(w.line, (LineSegment{77, c.y1, 77, c.y2}));
        EXPECT_EQ(w.colour, c.colour);
        EXPECT_EQ(w.hasClipMark, c.mark != 0);
        if (c.mark) {
            EXPECT_EQ(w.clipMark, (LineSegment{77, c.mark, 77, c.channel == 1 ? 67 : 202}));
        }
    }
    WaveColumn w = {};  // a block of no frames draws no line
    EXPECT_FALSE(ComputeWaveColumn(Band(271, 1), 77, 0, INT_MIN, INT_MAX, -96.0, -6, &w));
}

TEST(Wave, ColourEdges)
{
    EXPECT_EQ(WaveColumnColour(-0.1, -6), kRed);
    EXPECT_EQ(WaveColumnColour(-0.1001, -6), kCautionBlue);
    EXPECT_EQ(WaveColumnColour(-6.0, -6), kBlack);  // equal to the caution level
    EXPECT_EQ(WaveColumnColour(-5.99, -6), kCautionBlue);
    EXPECT_EQ(WaveColumnColour(-8.52, -10), kCautionBlue);  // the caution level is read
}

TEST(Decibel, RowsGridTraceAndTitle)
{
    // H 250: span 225, margin 12; the magnitude of the level counts.
    const double levels[][2] = {{0, 12}, {-6, 26}, {-48, 124}, {-96, 237}, {6, 26}};
    for (const auto& l : levels)
        EXPECT_EQ(DecibelToY(l[0], 250), l[1]) << l[0];
    DecibelScale scale;
    ComputeDecibelScale(400, 300, &scale);
    EXPECT_EQ(scale.lineCount, 9);  // 12 dB steps
    ComputeDecibelScale(400, 301, &scale);
    EXPECT_EQ(scale.lineCount, 17);  // 6 dB steps
    EXPECT_STREQ(scale.lines[15].label, " -6");
    EXPECT_STREQ(scale.lines[16].label, "[dB] 0");
    // Right (red) then left (blue), each from the previous row; the first from row 100.
    DecibelTraceState state;
    DecibelTraceStep step = AdvanceDecibelTrace(&state, 51, 250, -96.0, -96.0);
    EXPECT_EQ(step.right, (LineSegment{50, 100, 51, 237}));
    EXPECT_EQ(step.left, (LineSegment{50, 100, 51, 237}));
    step = AdvanceDecibelTrace(&state, 52, 250, 0.0, -6.0);
    EXPECT_EQ(step.right, (LineSegment{51, 237, 52, 26}));
    EXPECT_EQ(step.left, (LineSegment{51, 237, 52, 12}));
    // Strictly more than 1000 ms, modulo 2^32.
    EXPECT_TRUE(DecibelTitleDue(1001, 0) && DecibelTitleDue(745, 0xFFFFFF00u));   // 1001 ms
    EXPECT_FALSE(DecibelTitleDue(1000, 0) || DecibelTitleDue(744, 0xFFFFFF00u));  // 1000 ms
    char title[kDecibelTitleSize];
    FormatDecibelTitle(title, sizeof title, -12.34, -6.0);
    EXPECT_STREQ(title, "有効デシベル - L: -12.3[dB]  R:  -6.0[dB]");
}

TEST(Fft, SpectrumSizeOfABlock)
{
    const int cases[][3] = {{66, 8000, 64},    {133, 16000, 128}, {266, 32000, 256},
                            {400, 48000, 256}, {800, 96000, 512}, {300, 44100, 256},
                            {0, 48000, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(GetSpectrumSize(c[0], c[1]), c[2]) << c[0] << " " << c[1];
    EXPECT_EQ(BinFrequency(128, 256, 48000), 24000.0);  // the scale runs to the rate
}

TEST(Fft, FrequencyRowsAt271And48000)
{
    // 0, 8000, ..., 48000 Hz: 20 rows apart from 128 (band 1) and 263 (band 2).
    const int rows[2][7] = {{128, 108, 88, 68, 48, 28, 8}, {263, 243, 223, 203, 183, 163, 143}};
    for (int channel = 1; channel <= 2; ++channel)
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(FrequencyToY(271, channel, 8000.0 * i, 48000), rows[channel - 1][i])
                << channel << " " << i;
    EXPECT_EQ(FrequencyLabelCount(271, 48000), 7);  // grid lines 0 to 48K
}

TEST(Fft, LevelColoursAtEdgesAndMidpoints)
{
    // Each ramp's value at its midpoint, + 0.5 and truncated: 127.5 -> 128.
    const struct {
        double level;
        RgbColour colour;
    } cases[] = {
        {0, {0, 0, 0}},      {7.5, {0, 0, 128}},  {15, {0, 0, 255}},     {24, {0, 0, 255}},
        {33, {0, 0, 255}},   {40, {0, 112, 255}}, {41, {0, 128, 255}},   {49, {0, 255, 255}},
        {58, {0, 255, 128}}, {67, {0, 255, 0}},   {75.5, {128, 255, 0}}, {84, {255, 255, 0}},
        {92, {255, 128, 0}}, {100, {255, 0, 0}},  {120, {255, 0, 0}},
    };
    for (const auto& c : cases) {
        const RgbColour got = LevelToColour(c.level);
        EXPECT_EQ(got, c.colour) << c.level << ": " << got.red << " " << got.green << " "
                                 << got.blue;
    }
}

TEST(Fft, HeightLimit)
{
    // trunc(N x 2.2222222222222223); a lower window keeps its height; with no
    // frames yet (N = 0) no limit applies, rather than a height of 0.
    const int cases[][3] = {{64, 1000, 142},   {128, 1000, 284}, {256, 1000, 568},
                            {512, 2000, 1137}, {256, 309, 309},  {0, 309, 309}};
    for (const auto& c : cases)
        EXPECT_EQ(LimitFftWindowHeight(c[0], c[1]), c[2]) << c[0] << " " << c[1];
}

TEST(XY, PlotOf277x258)
{
    const ResurgeGeometry g = ComputeResurgeGeometry(277, 258);
    EXPECT_EQ((std::vector<int>{g.cx, g.cy, g.s}), (std::vector<int>{138, 129, 116}));
    const ResurgePoint p = ResurgePlotPoint(g, 16384, -16384);
    EXPECT_EQ(std::make_pair(p.x, p.y), std::make_pair(196, 187));  // positive Y goes up
    EXPECT_EQ(ResurgePlotPoint(g, 32767, 0).x, 254);                // on the box edge
    EXPECT_EQ(ResurgePlotPoint(g, -32768, 0).x, 22);
    // X: left for channel 1; Y: right for channel 2.
    EXPECT_EQ((std::vector<int>{ResurgeXSample(10, 20, 1), ResurgeXSample(10, 20, 2),
                                ResurgeYSample(10, 20, 2), ResurgeYSample(10, 20, 1)}),
              (std::vector<int>{10, 20, 20, 10}));
    for (int p : {5, 10})
        EXPECT_TRUE(ResurgeBlankThisPaint(p)) << p;
    for (int p : {4, 6})
        EXPECT_FALSE(ResurgeBlankThisPaint(p)) << p;
    ResurgeFrame f;
    ComputeResurgeFrame(277, 258, 2, 1, &f);
    EXPECT_EQ(f.box[3], (LineSegment{254, 13, 254, 245}));  // right edge of the dotted box
    EXPECT_EQ(f.blank[0], (PixelRect{23, 14, 138, 129}));   // inside it, axes and outline kept
    EXPECT_TRUE(IsValidThinResurgeWave(100) &&
                !IsValidThinResurgeWave(101));  // above: the fatal stop
}

TEST(XY, FrameCount)
{
    // Blocks of 400 frames (48000 Hz).
    const struct {
        int percentage, frames;
        bool skip;
        int want;
    } cases[] = {
        {30, 400, false, 120},  {30, 1200, true, 120},  // three blocks piled up: a third
        {30, 1200, false, 360}, {30, 1000, true, 150},  // 300 over two whole blocks
        {0, 400, false, 0},     {-10, 400, false, 0},  {150, 400, false, 400},  // at most all
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResurgeFrameCount(c.percentage, c.frames, c.skip, 400), c.want)
            << c.percentage << " " << c.frames;
}

TEST(XY, SquareClientRule)
{
    int w = 0, h = 0;
    EXPECT_FALSE(ResurgeSquareTarget(281, 300, 19, 0, &w, &h));  // W = H - c: not moved
    // 400 x 300 with c = 19: 381 x 381, then 362 x 381, then square.
    ASSERT_TRUE(ResurgeSquareTarget(400, 300, 19, 0, &w, &h));
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(381, 381));
    ASSERT_TRUE(ResurgeSquareTarget(381, 381, 19, 1, &w, &h));
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(362, 381));
    EXPECT_FALSE(ResurgeSquareTarget(362, 381, 19, 2, &w, &h));
    // Two moves deep, a size the platform clamped gets no third.
    EXPECT_FALSE(ResurgeSquareTarget(600, 200, 19, kResurgeMaxNestedMoves, &w, &h));
}

TEST(Frame, WindowOffTheMonitorsComesOntoTheWorkArea)
{
    const PixelRect area = {100, 50, 1380, 1010};
    const struct {
        PixelRect window, placed;
    } cases[] = {
        {{1500, 100, 1900, 406}, {980, 100, 1380, 406}},  // right of it: least move, size kept
        {{-500, -400, -100, -94}, {100, 50, 500, 356}},   // above and left of it
        {{200, 60, 2200, 1160}, {100, 50, 2100, 1150}},   // larger: left and top edge
        {{INT_MIN, INT_MAX - 300, INT_MIN + 400, INT_MAX}, {100, 710, 500, 1010}},
    };
    for (const auto& c : cases) {
        const PixelRect p = BringOntoWorkArea(c.window, area);
        EXPECT_EQ(p, c.placed) << p.left << " " << p.top << " " << p.right << " " << p.bottom;
    }
    EXPECT_EQ(ComputeSweepCursor(51, 271).cursor,
              (LineSegment{52, 0, 52, 271}));  // right of the newest
}
