#include "windows/fft_geometry.h"

#include <climits>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

// Frames of one block as the capture delivers them, the transform size and
// the frequency labels of a band, by sampling rate.
struct RateCase {
  int rate, frames, size, labels;
};
const RateCase kRates[] = {
    {8000, 66, 64, 2},     {11025, 91, 64, 2},    {16000, 133, 128, 3}, {22050, 183, 128, 3},
    {24000, 200, 128, 4},  {32000, 266, 256, 5},  {33075, 275, 256, 5}, {44100, 367, 256, 6},
    {48000, 400, 256, 7},  {96000, 800, 512, 13},
};

TEST(SpectrumSize, EveryOfferedRateWithOneBlock) {
  for (const RateCase& c : kRates) {
    EXPECT_EQ(GetSpectrumSize(c.frames, c.rate), c.size) << c.rate;
    // A tall window, so the band's rows do not cut the label list.
    EXPECT_EQ(FrequencyLabelCount(1000, c.rate), c.labels) << c.rate;
  }
}

TEST(SpectrumSize, LargestPowerOfTwoUpToTheCap) {
  EXPECT_EQ(GetSpectrumSize(300, 44100), 256);
  EXPECT_EQ(GetSpectrumSize(5000, 48000), 256);
  EXPECT_EQ(GetSpectrumSize(800, 48000), 256);
  EXPECT_EQ(GetSpectrumSize(5000, 96000), 512);
  EXPECT_EQ(GetSpectrumSize(511, 96000), 256);
  EXPECT_EQ(GetSpectrumSize(1, 48000), 1);
  EXPECT_EQ(GetSpectrumSize(3, 48000), 2);
  EXPECT_EQ(GetSpectrumSize(0, 48000), 0);
  EXPECT_EQ(GetSpectrumSize(-5, 48000), 0);
  EXPECT_EQ(GetSpectrumSize(INT_MAX, INT_MAX), 256);
  EXPECT_EQ(GetSpectrumSize(17, 0), 16);
  EXPECT_EQ(GetSpectrumSize(INT_MIN, -96000), 0);
}

TEST(BinFrequency, RunsToTheSamplingRate) {
  EXPECT_EQ(BinFrequency(0, 256, 48000), 0.0);
  EXPECT_EQ(BinFrequency(128, 256, 48000), 24000.0);
  EXPECT_EQ(BinFrequency(255, 256, 48000), 47812.5);
  EXPECT_EQ(BinFrequency(3, 0, 48000), 0.0);  // no transform, no division
  EXPECT_EQ(BinFrequency(1, 2, INT_MAX), INT_MAX / 2.0);
}

TEST(FrequencyToY, WorkedExampleHeight271At48000) {
  const int upper[] = {128, 108, 88, 68, 48, 28, 8};
  const int lower[] = {263, 243, 223, 203, 183, 163, 143};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(FrequencyToY(271, 1, i * 8000.0, 48000), upper[i]) << i;
    EXPECT_EQ(FrequencyToY(271, 2, i * 8000.0, 48000), lower[i]) << i;
  }
}

TEST(FrequencyToY, NoRateMeansNoDivision) {
  EXPECT_EQ(FrequencyToY(271, 1, 0.0, 0), 128);
  EXPECT_EQ(FrequencyToY(271, 1, 8000.0, 0), 128);
  EXPECT_EQ(FrequencyToY(271, 2, 8000.0, -48000), 263);
  EXPECT_EQ(FrequencyToY(271, 3, 8000.0, 48000), 0);  // no such band
  EXPECT_EQ(FrequencyToY(271, 1, 1e300, 1), INT_MIN);
  EXPECT_EQ(FrequencyToY(271, 1, std::nan(""), 48000), 0);
}

TEST(LevelToColour, TableValues) {
  struct Case {
    double level;
    RgbColour colour;
  };
  const Case cases[] = {
      {-5, {0, 0, 0}},      {0, {0, 0, 0}},       {0.01, {0, 0, 0}},    {0.03, {0, 0, 1}},
      {15, {0, 0, 255}},    {15.001, {0, 0, 255}}, {33, {0, 0, 255}},    {40, {0, 112, 255}},
      {49, {0, 255, 255}},  {58, {0, 255, 128}},  {67, {0, 255, 0}},    {67.05, {1, 255, 0}},
      {75, {120, 255, 0}},  {84, {255, 255, 0}},  {92, {255, 128, 0}},  {100, {255, 0, 0}},
      {100.001, {255, 0, 0}}, {120, {255, 0, 0}}, {1e308, {255, 0, 0}},
  };
  for (const Case& c : cases) {
    const RgbColour got = LevelToColour(c.level);
    EXPECT_EQ(got, c.colour) << c.level << " -> " << got.red << "," << got.green << "," << got.blue;
  }
}

TEST(LevelToColour, IntervalsOpenBelowClosedAbove) {
  // Just above each edge the next ramp starts from its first value.
  EXPECT_EQ(LevelToColour(std::nextafter(33.0, 40.0)), (RgbColour{0, 0, 255}));
  EXPECT_EQ(LevelToColour(std::nextafter(49.0, 50.0)), (RgbColour{0, 255, 255}));
  EXPECT_EQ(LevelToColour(std::nextafter(84.0, 90.0)), (RgbColour{255, 255, 0}));
  EXPECT_EQ(LevelToColour(std::nextafter(0.0, 1.0)), (RgbColour{0, 0, 0}));
  EXPECT_EQ(LevelToColour(std::numeric_limits<double>::infinity()), (RgbColour{255, 0, 0}));
  EXPECT_EQ(LevelToColour(-std::numeric_limits<double>::infinity()), (RgbColour{0, 0, 0}));
  EXPECT_EQ(LevelToColour(std::nan("")), (RgbColour{0, 0, 0}));
  // Every component stays within 0..255 on a fine sweep.
  for (double l = -1; l <= 110; l += 0.01) {
    const RgbColour c = LevelToColour(l);
    for (int v : {c.red, c.green, c.blue}) {
      EXPECT_GE(v, 0) << l;
      EXPECT_LE(v, 255) << l;
    }
  }
}

TEST(HeightLimit, ByTransformSize) {
  EXPECT_EQ(FftHeightLimit(64), 142);
  EXPECT_EQ(FftHeightLimit(128), 284);
  EXPECT_EQ(FftHeightLimit(256), 568);
  EXPECT_EQ(FftHeightLimit(512), 1137);
  EXPECT_EQ(LimitFftWindowHeight(256, 600), 568);
  EXPECT_EQ(LimitFftWindowHeight(256, 568), 568);
  EXPECT_EQ(LimitFftWindowHeight(256, 309), 309);  // lower windows keep their height
  EXPECT_EQ(LimitFftWindowHeight(512, INT_MAX), 1137);
  EXPECT_EQ(LimitFftWindowHeight(0, 309), 309);  // no frames yet: no limit
  EXPECT_EQ(LimitFftWindowHeight(-1, 309), 309);
}

TEST(FrequencyScale, SevenLinesPerBandAt48000) {
  ASSERT_EQ(FrequencyLabelCount(271, 48000), 7);
  const char* labels[] = {"  0", " 8K", "16K", "24K", "32K", "40K", "48K"};
  const int upper[] = {128, 108, 88, 68, 48, 28, 8};
  for (int i = 0; i < 7; ++i) {
    const FrequencyGridLine g = ComputeFrequencyGridLine(392, 271, 1, 48000, i);
    EXPECT_EQ(g.frequency, i * 8000);
    EXPECT_EQ(g.line, (LineSegment{50, upper[i], 392, upper[i]}));
    EXPECT_EQ(g.labelX, 22);
    EXPECT_EQ(g.labelY, upper[i] - 8);
    EXPECT_STREQ(g.label, labels[i]);
  }
  EXPECT_EQ(ComputeFrequencyGridLine(392, 271, 2, 48000, 6).line.y1, 143);
}

TEST(FrequencyScale, LabelsRunTo96KAt96000) {
  ASSERT_EQ(FrequencyLabelCount(1137, 96000), 13);
  EXPECT_STREQ(ComputeFrequencyGridLine(400, 1137, 1, 96000, 12).label, "96K");
}

TEST(FrequencyScale, OddRatesEndAndNeverExceedTheBandRows) {
  EXPECT_EQ(FrequencyLabelCount(271, 0), 0);  // before the first start: no frequency lines
  EXPECT_EQ(FrequencyLabelCount(271, -48000), 0);
  EXPECT_EQ(FrequencyLabelCount(271, INT_MIN), 0);
  EXPECT_EQ(FrequencyLabelCount(271, 1), 1);
  EXPECT_EQ(FrequencyLabelCount(271, 7999), 1);
  EXPECT_EQ(FrequencyLabelCount(271, INT_MAX), 135);
  EXPECT_EQ(FrequencyLabelCount(INT_MAX, INT_MAX), INT_MAX / 8000 + 1);
  EXPECT_EQ(FrequencyLabelCount(1, 48000), 0);
  EXPECT_EQ(FrequencyLabelCount(20, 48000), 7);
  EXPECT_EQ(FrequencyLabelCount(13, 48000), 6);
  // The last line of the largest rate stays within the rate and the int range.
  const int last = FrequencyLabelCount(INT_MAX, INT_MAX) - 1;
  const FrequencyGridLine g = ComputeFrequencyGridLine(400, INT_MAX, 2, INT_MAX, last);
  EXPECT_EQ(g.frequency, 2147480000);
  EXPECT_STREQ(g.label, "2147480K");
}

TEST(FrequencyScale, ChannelLabels) {
  const FftChannelLabel l = ComputeFftChannelLabel(271, 1);
  EXPECT_EQ(l.x, 6);
  EXPECT_EQ(l.y, 59);
  EXPECT_STREQ(l.text, "L");
  EXPECT_EQ(l.colour, (RgbColour{0, 0, 255}));
  const FftChannelLabel r = ComputeFftChannelLabel(271, 2);
  EXPECT_EQ(r.y, 194);
  EXPECT_STREQ(r.text, "R");
  EXPECT_EQ(r.colour, (RgbColour{255, 0, 0}));
}

}  // namespace
