// What the display windows draw, as numbers: bands, Wave columns, Decibel rows
// and title, FFT sizes, rows and colours, the X-Y plot and its square rule,
// and where a window lost off the monitors goes. Rows worked by hand.
#include <gtest/gtest.h>

#include <climits>
#include <tuple>
#include <utility>
#include <vector>

#include "channel_band.h"
#include "decibel_geometry.h"
#include "fft_geometry.h"
#include "frame_geometry.h"
#include "resurge_geometry.h"
#include "wave_geometry.h"

const RgbColour kCautionBlue = {0, 0, 200};
// Colours print as their components.
void PrintTo(RgbColour c, std::ostream* o) { *o << c.red << " " << c.green << " " << c.blue; }

static ChannelBand Band(int height, int channel)
{
    ChannelBand b = {-7, -7, -7, -7};
    ComputeChannelBand(height, channel, kChannelBandScale, &b);
    return b;
}

TEST(Wave, BandsColumnRowsColoursAndClipMarks)
{
    // The bands of H 271: half = H / 2; centre = half / 2 + offset; amplitude = trunc(half x 0.45).
    const ChannelBand one = Band(271, 1), two = Band(271, 2);
    EXPECT_EQ((std::vector<int>{one.top, one.centre, one.bottom, one.amplitude, two.top, two.centre,
                                two.bottom, two.amplitude}),
              (std::vector<int>{0, 67, 135, 60, 135, 202, 270, 60}));
    // Caution -6: up = trunc(|max| / 32767 x 60), down = trunc(|min| / 32768 x 60) from the
    // centre; a clip mark runs from the clipped end to the centre (0: none). Channel, max, min,
    // level, rows, colour, mark: the worked example; down over 32768, 59.998 rows; red, so no mark
    // for one clipped peak; the upper peak clipped, then the lower; both clipped, no mark; 32111
    // is not beyond, 32112 is; both peaks on one side of the zero line.
    const std::tuple<int, int, int, double, int, int, RgbColour, int> cases[] = {
        {1, 16384, -8192, -8.52, 37, 82, kBlack, 0},
        {1, 32767, -32767, -0.000133, 7, 126, kRed, 0},
        {1, 32767, -32100, -0.09, 7, 125, kRed, 0},
        {1, 32200, -1000, -5.91, 9, 68, kCautionBlue, 9},
        {2, 1000, -32200, -5.91, 201, 260, kCautionBlue, 260},
        {1, 32200, -32200, -0.15, 9, 125, kCautionBlue, 0},
        {1, 32111, -1000, -5.93, 9, 68, kCautionBlue, 0},
        {1, 32112, -1000, -5.93, 9, 68, kCautionBlue, 9},
        {1, -5000, -5000, -16.33, 58, 76, kBlack, 0},
    };
    for (const auto& [channel, max, min, level, y1, y2, colour, mark] : cases) {
        SCOPED_TRACE(::testing::Message() << max << " " << min);
        WaveColumn w = {};
        ASSERT_TRUE(ComputeWaveColumn(Band(271, channel), 77, 400, max, min, level, -6, &w));
        EXPECT_EQ(w.line, (LineSegment{77, y1, 77, y2}));
        EXPECT_EQ(w.colour, colour);
        EXPECT_EQ(w.hasClipMark ? w.clipMark : LineSegment{},
                  (mark ? LineSegment{77, mark, 77, channel == 1 ? 67 : 202} : LineSegment{}));
    }
    WaveColumn w = {};  // a block of no frames draws no line
    EXPECT_FALSE(ComputeWaveColumn(Band(271, 1), 77, 0, INT_MIN, INT_MAX, -96.0, -6, &w));
    // Red from -0.1; black at the caution level, which is read.
    EXPECT_EQ(WaveColumnColour(-0.1, -6), kRed);
    EXPECT_EQ(WaveColumnColour(-0.1001, -6), kCautionBlue);
    EXPECT_EQ(WaveColumnColour(-6.0, -6), kBlack);
    EXPECT_EQ(WaveColumnColour(-8.52, -10), kCautionBlue);
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
    const DecibelTraceStep first = AdvanceDecibelTrace(&state, 51, 250, -96.0, -96.0);
    const DecibelTraceStep second = AdvanceDecibelTrace(&state, 52, 250, 0.0, -6.0);
    EXPECT_EQ((std::vector<LineSegment>{first.right, first.left, second.right, second.left}),
              (std::vector<LineSegment>{
                  {50, 100, 51, 237}, {50, 100, 51, 237}, {51, 237, 52, 26}, {51, 237, 52, 12}}));
    // Strictly more than 1000 ms, modulo 2^32.
    EXPECT_EQ((std::vector<bool>{DecibelTitleDue(1001, 0), DecibelTitleDue(745, 0xFFFFFF00u),
                                 DecibelTitleDue(1000, 0), DecibelTitleDue(744, 0xFFFFFF00u)}),
              (std::vector<bool>{true, true, false, false}));  // 1001, 1001, 1000, 1000 ms
    char title[kDecibelTitleSize];
    FormatDecibelTitle(title, sizeof title, -12.34, -6.0);
    EXPECT_STREQ(title, "有効デシベル - L: -12.3[dB]  R:  -6.0[dB]");
}

TEST(Fft, SizesRowsColoursAndHeightLimit)
{
    // Frames, rate, spectrum size: the largest power of two up to the frames, at most 256 (512
    // at 96000 Hz), as for three blocks piled up at 48000 Hz.
    const int sizes[][3] = {{66, 8000, 64},    {133, 16000, 128},  {266, 32000, 256},
                            {400, 48000, 256}, {800, 96000, 512},  {300, 44100, 256},
                            {256, 48000, 256}, {1200, 48000, 256}, {0, 48000, 0}};
    for (const auto& c : sizes)
        EXPECT_EQ(GetSpectrumSize(c[0], c[1]), c[2]) << c[0] << " " << c[1];
    EXPECT_EQ(BinFrequency(128, 256, 48000), 24000.0);  // the scale runs to the rate
    // H 271, 48000 Hz: 0, 8000, ..., 48000 Hz are 20 rows apart from 128 (band 1) and 263
    // (band 2), with grid lines 0 to 48K.
    const int rows[] = {128, 108, 88, 68, 48, 28, 8, 263, 243, 223, 203, 183, 163, 143};
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(FrequencyToY(271, 1 + i / 7, 8000.0 * (i % 7), 48000), rows[i]) << i;
    EXPECT_EQ(FrequencyLabelCount(271, 48000), 7);
    // Colours at the ramps' edges (32: inside the flat stretch's upper edge) and midpoints, + 0.5
    // and truncated: 127.5 -> 128.
    const std::pair<double, RgbColour> colours[] = {
        {0, {0, 0, 0}},      {7.5, {0, 0, 128}},  {15, {0, 0, 255}},     {32, {0, 0, 255}},
        {33, {0, 0, 255}},   {40, {0, 112, 255}}, {41, {0, 128, 255}},   {49, {0, 255, 255}},
        {58, {0, 255, 128}}, {67, {0, 255, 0}},   {75.5, {128, 255, 0}}, {84, {255, 255, 0}},
        {92, {255, 128, 0}}, {100, {255, 0, 0}},  {120, {255, 0, 0}},
    };
    for (const auto& [level, colour] : colours)
        EXPECT_EQ(LevelToColour(level), colour) << level;
    // N, height, limited height: trunc(N x (2 / 0.9)); a lower window keeps its height;
    // with no frames yet (N = 0) no limit applies, rather than a height of 0.
    const int heights[][3] = {{64, 1000, 142},   {128, 1000, 284}, {256, 1000, 568},
                              {512, 2000, 1137}, {256, 309, 309},  {0, 309, 309}};
    for (const auto& c : heights)
        EXPECT_EQ(LimitFftWindowHeight(c[0], c[1]), c[2]) << c[0] << " " << c[1];
}

TEST(XY, PlotFrameCountAndSquareRule)
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
    EXPECT_EQ((std::vector<bool>{ResurgeBlankThisPaint(4), ResurgeBlankThisPaint(5),
                                 ResurgeBlankThisPaint(6), ResurgeBlankThisPaint(10)}),
              (std::vector<bool>{false, true, false, true}));
    ResurgeFrame f;
    ComputeResurgeFrame(277, 258, 2, 1, &f);
    EXPECT_EQ(f.box[3], (LineSegment{254, 13, 254, 245}));  // right edge of the dotted box
    EXPECT_EQ(f.blank[0], (PixelRect{23, 14, 138, 129}));   // inside it, axes and outline kept
    EXPECT_TRUE(IsValidThinResurgeWave(100));
    EXPECT_FALSE(IsValidThinResurgeWave(101));  // above: fatal
    // Blocks of 400 frames (48000 Hz). Percentage, frames, skip, count: three blocks piled up
    // give a third with skip; 300 over two whole blocks; at most all.
    const std::tuple<int, int, bool, int> counts[] = {
        {30, 400, false, 120}, {30, 1200, true, 120}, {30, 1200, false, 360}, {30, 1000, true, 150},
        {0, 400, false, 0},    {-10, 400, false, 0},  {150, 400, false, 400},
    };
    for (const auto& [share, frames, skip, want] : counts)
        EXPECT_EQ(ResurgeFrameCount(share, frames, skip, 400), want) << share << " " << frames;
    int w = 0, h = 0;
    EXPECT_FALSE(ResurgeSquareTarget(281, 300, 19, 0, &w, &h));  // W = H - c: not moved
    // 400 x 300 with c = 19: 381 x 381 first (the in-process test sees the 362 x 381 it ends).
    ASSERT_TRUE(ResurgeSquareTarget(400, 300, 19, 0, &w, &h));
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(381, 381));
    // Two moves deep, a size the platform clamped gets no third.
    EXPECT_FALSE(ResurgeSquareTarget(600, 200, 19, kResurgeMaxNestedMoves, &w, &h));
}

TEST(Frame, WindowOffTheMonitorsComesOntoTheWorkArea)
{
    // Right of the area: the least move, size kept; above and left of it; larger than it: left
    // and top edge; at the ends of the int range, wider than an int can say.
    const PixelRect area = {100, 50, 1380, 1010};
    const std::pair<PixelRect, PixelRect> cases[] = {
        {{1500, 100, 1900, 406}, {980, 100, 1380, 406}},
        {{-500, -400, -100, -94}, {100, 50, 500, 356}},
        {{200, 60, 2200, 1160}, {100, 50, 2100, 1150}},
        {{INT_MIN, INT_MAX - 300, INT_MAX, INT_MAX}, {100, 710, INT_MAX, 1010}},
    };
    for (const auto& [window, placed] : cases)
        EXPECT_EQ(BringOntoWorkArea(window, area), placed) << window.left << " " << window.top;
}
