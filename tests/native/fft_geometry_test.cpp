#include "fft_geometry.h"

#include <climits>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

TEST(SpectrumSize, EveryOfferedRateAndTheEdges) {
  // Frames of one block, transform size and labels of a band (in a tall
  // window, so rows do not cut them), by sampling rate.
  struct RateCase {
    int rate, frames, size, labels;
  };
  const RateCase rates[] = {
      {8000, 66, 64, 2},    {11025, 91, 64, 2},   {16000, 133, 128, 3}, {22050, 183, 128, 3},
      {24000, 200, 128, 4}, {32000, 266, 256, 5}, {33075, 275, 256, 5}, {44100, 367, 256, 6},
      {48000, 400, 256, 7}, {96000, 800, 512, 13},
  };
  for (const RateCase& c : rates) {
    EXPECT_EQ(GetSpectrumSize(c.frames, c.rate), c.size) << c.rate;
    EXPECT_EQ(FrequencyLabelCount(1000, c.rate), c.labels) << c.rate;
  }
  const int edges[][3] = {{5000, 48000, 256}, {5000, 96000, 512}, {511, 96000, 256},
                          {1, 48000, 1},      {3, 48000, 2},      {0, 48000, 0},
                          {-5, 48000, 0},     {INT_MAX, INT_MAX, 256}, {17, 0, 16},
                          {INT_MIN, -96000, 0}};
  for (const auto& e : edges) EXPECT_EQ(GetSpectrumSize(e[0], e[1]), e[2]) << e[0] << " " << e[1];
}

TEST(FrequencyToY, BinsAndOddRates) {
  EXPECT_EQ(BinFrequency(128, 256, 48000), 24000.0);
  EXPECT_EQ(BinFrequency(255, 256, 48000), 47812.5);  // the scale runs to the rate
  EXPECT_EQ(BinFrequency(3, 0, 48000), 0.0);
  EXPECT_EQ(BinFrequency(1, 2, INT_MAX), INT_MAX / 2.0);
  // No rate: no division, every frequency on the 0 Hz row.
  EXPECT_EQ(FrequencyToY(271, 1, 8000.0, 0), 128);
  EXPECT_EQ(FrequencyToY(271, 2, 8000.0, -48000), 263);
  EXPECT_EQ(FrequencyToY(271, 3, 8000.0, 48000), 0);  // no such band
  EXPECT_EQ(FrequencyToY(271, 1, 1e300, 1), INT_MIN);
  EXPECT_EQ(FrequencyToY(271, 1, std::nan(""), 48000), 0);
}

TEST(LevelToColour, TableValuesAndIntervalEdges) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double level;
    RgbColour colour;
  };
  const Case cases[] = {
      {-5, {0, 0, 0}},       {0, {0, 0, 0}},         {0.01, {0, 0, 0}},      {0.03, {0, 0, 1}},
      {15, {0, 0, 255}},     {15.001, {0, 0, 255}},  {33, {0, 0, 255}},      {40, {0, 112, 255}},
      {49, {0, 255, 255}},   {58, {0, 255, 128}},    {67, {0, 255, 0}},      {67.05, {1, 255, 0}},
      {75, {120, 255, 0}},   {84, {255, 255, 0}},    {92, {255, 128, 0}},    {100, {255, 0, 0}},
      {100.001, {255, 0, 0}}, {120, {255, 0, 0}},    {1e308, {255, 0, 0}},   {inf, {255, 0, 0}},
      {-inf, {0, 0, 0}},     {std::nan(""), {0, 0, 0}},
      // Open below: just above an edge the next ramp starts at its first value.
      {std::nextafter(0.0, 1.0), {0, 0, 0}},          {std::nextafter(33.0, 40.0), {0, 0, 255}},
      {std::nextafter(49.0, 50.0), {0, 255, 255}},    {std::nextafter(84.0, 90.0), {255, 255, 0}},
  };
  for (const Case& c : cases) {
    const RgbColour got = LevelToColour(c.level);
    EXPECT_EQ(got, c.colour) << c.level << " -> " << got.red << "," << got.green << "," << got.blue;
  }
  for (double l = -1; l <= 110; l += 0.01) {
    const RgbColour c = LevelToColour(l);
    for (int v : {c.red, c.green, c.blue}) ASSERT_TRUE(v >= 0 && v <= 255) << l;
  }
}

TEST(HeightLimit, ByTransformSize) {
  EXPECT_EQ(FftHeightLimit(64), 142);
  EXPECT_EQ(FftHeightLimit(128), 284);
  EXPECT_EQ(LimitFftWindowHeight(256, 600), 568);
  EXPECT_EQ(LimitFftWindowHeight(256, 309), 309);  // lower windows keep their height
  EXPECT_EQ(LimitFftWindowHeight(512, INT_MAX), 1137);
  EXPECT_EQ(LimitFftWindowHeight(0, 309), 309);  // no frames yet: no limit
  EXPECT_EQ(LimitFftWindowHeight(-1, 309), 309);
}

// The worked example: H = 271 at 48000 Hz, lines 20 rows apart.
TEST(FrequencyScale, LinesLabelsAndOddRates) {
  const char* labels[] = {"  0", " 8K", "16K", "24K", "32K", "40K", "48K"};
  ASSERT_EQ(FrequencyLabelCount(271, 48000), 7);
  for (int i = 0; i < 7; ++i) {
    const FrequencyGridLine g = ComputeFrequencyGridLine(392, 271, 1, 48000, i);
    EXPECT_EQ(g.frequency, i * 8000);
    EXPECT_EQ(g.line, (LineSegment{50, 128 - 20 * i, 392, 128 - 20 * i}));
    EXPECT_EQ(g.labelX, 22);
    EXPECT_EQ(g.labelY, 120 - 20 * i);
    EXPECT_STREQ(g.label, labels[i]);
    EXPECT_EQ(ComputeFrequencyGridLine(392, 271, 2, 48000, i).line.y1, 263 - 20 * i);
  }
  EXPECT_STREQ(ComputeFrequencyGridLine(400, 1137, 1, 96000, 12).label, "96K");
  // Ends for any rate; never more lines than the band has rows.
  const int counts[][3] = {{271, 0, 0},    {271, -48000, 0}, {271, INT_MIN, 0},
                           {271, 7999, 1}, {271, INT_MAX, 135}, {1, 48000, 0},
                           {13, 48000, 6}, {INT_MAX, INT_MAX, INT_MAX / 8000 + 1}};
  for (const auto& c : counts)
    EXPECT_EQ(FrequencyLabelCount(c[0], c[1]), c[2]) << c[0] << " " << c[1];
  const FrequencyGridLine last = ComputeFrequencyGridLine(400, INT_MAX, 2, INT_MAX, INT_MAX / 8000);
  EXPECT_EQ(last.frequency, 2147480000);
  EXPECT_STREQ(last.label, "2147480K");
  const FftChannelLabel l = ComputeFftChannelLabel(271, 1), r = ComputeFftChannelLabel(271, 2);
  EXPECT_EQ(l.x, 6);
  EXPECT_EQ(l.y, 59);
  EXPECT_EQ(r.y, 194);
  EXPECT_STREQ(l.text, "L");
  EXPECT_STREQ(r.text, "R");
  EXPECT_EQ(l.colour, kBlue);
  EXPECT_EQ(r.colour, kRed);
}

}  // namespace
