#include "windows/wave_geometry.h"

#include <climits>
#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

namespace {

const RgbColour kRedC = {255, 0, 0};
const RgbColour kCaution = {0, 0, 200};
const RgbColour kBlackC = {0, 0, 0};

ChannelBand Band271(int channel) {
  ChannelBand b = {0, 0, 0, 0};
  ComputeChannelBand(271, channel, 0.9, &b);
  return b;
}

// The level measure of the analysis code, restated as the reference.
double Level(int max, int min) {
  const double sum = std::fabs(static_cast<double>(max)) + std::fabs(static_cast<double>(min));
  const double db = 20 * std::log10(sum * (1 / 65535.0));
  return db < -96.0 || std::isnan(db) ? -96.0 : db;
}

WaveColumn Column(int max, int min, int caution, int channel = 1, int frames = 400) {
  WaveColumn c = {};
  const double level = Level(max, min);
  EXPECT_TRUE(ComputeWaveColumn(Band271(channel), 77, frames, max, min, level, caution, &c));
  return c;
}

TEST(WaveColumn, WorkedExampleRows37To82Black) {
  const WaveColumn c = Column(16384, -8192, -6);
  EXPECT_EQ(c.line, (LineSegment{77, 37, 77, 82}));
  EXPECT_NEAR(Level(16384, -8192), -8.52, 0.005);
  EXPECT_EQ(c.colour, kBlackC);
  EXPECT_FALSE(c.hasClipMark);
}

TEST(WaveColumn, FullScaleIsRedBetweenFullScaleLines) {
  const WaveColumn c = Column(32767, -32768, -6);
  EXPECT_EQ(c.line, (LineSegment{77, 7, 77, 127}));
  EXPECT_EQ(c.colour, kRedC);
  EXPECT_FALSE(c.hasClipMark);  // a red column gets no clip mark
}

TEST(WaveColumn, SingleHighClipIsMarkedRedDownToTheCentre) {
  const WaveColumn c = Column(32200, -1000, -6);  // -5.91 dB
  EXPECT_EQ(c.colour, kCaution);
  ASSERT_TRUE(c.hasClipMark);
  EXPECT_EQ(c.clipMark, (LineSegment{77, c.line.y1, 77, 67}));
}

TEST(WaveColumn, SingleLowClipIsMarkedRedUpToTheCentre) {
  const WaveColumn c = Column(1000, -32200, -6, 2);
  EXPECT_EQ(c.colour, kCaution);
  ASSERT_TRUE(c.hasClipMark);
  EXPECT_EQ(c.clipMark, (LineSegment{77, c.line.y2, 77, 202}));
}

TEST(WaveColumn, BothOrNeitherClippedGetNoMark) {
  const WaveColumn both = Column(32200, -32200, -6);  // -0.15 dB, below -0.1
  EXPECT_EQ(both.colour, kCaution);
  EXPECT_FALSE(both.hasClipMark);
  EXPECT_FALSE(Column(32111, -1000, -6).hasClipMark);  // 32111 itself is not beyond
  EXPECT_TRUE(Column(32112, -1000, -6).hasClipMark);
}

TEST(WaveColumn, OneSidedBlockSpansBothSidesOfTheZeroLine) {
  const WaveColumn c = Column(-5000, -5000, -6);  // -16.33 dB
  EXPECT_EQ(c.line, (LineSegment{77, 67 - 9, 77, 67 + 9}));
  EXPECT_EQ(c.colour, kBlackC);
}

TEST(WaveColumn, ColourEdges) {
  EXPECT_EQ(WaveColumnColour(-0.1, -6), kRedC);
  EXPECT_EQ(WaveColumnColour(-0.1001, -6), kCaution);
  EXPECT_EQ(WaveColumnColour(-6.0, -6), kBlackC);  // equal to caution: black
  EXPECT_EQ(WaveColumnColour(-5.999, -6), kCaution);
  EXPECT_EQ(WaveColumnColour(0.000133, -96), kRedC);
  EXPECT_EQ(WaveColumnColour(-96.0, -96), kBlackC);
  EXPECT_EQ(WaveColumnColour(-50.0, INT_MIN), kCaution);
  EXPECT_EQ(WaveColumnColour(-50.0, INT_MAX), kBlackC);
}

TEST(WaveColumn, EmptyBlockDrawsNoDataLine) {
  WaveColumn c = {};
  c.colour = {1, 2, 3};
  // The scan of no frames leaves max INT_MIN and min INT_MAX.
  EXPECT_FALSE(ComputeWaveColumn(Band271(1), 77, 0, INT_MIN, INT_MAX, -96.0, -6, &c));
  EXPECT_FALSE(ComputeWaveColumn(Band271(2), 77, -3, 0, 0, -96.0, -6, &c));
  EXPECT_FALSE(ComputeWaveColumn(Band271(2), 77, 5, INT_MIN, INT_MAX, -96.0, -6, &c));
  EXPECT_EQ(c.colour, (RgbColour{1, 2, 3}));  // untouched
}

TEST(WaveColumn, OutOfRangePeaksStayDefined) {
  WaveColumn c = {};
  ASSERT_TRUE(ComputeWaveColumn(Band271(1), 77, 1, INT_MAX, INT_MIN, 0.0, -6, &c));
  EXPECT_LT(c.line.y1, c.line.y2);
  ChannelBand huge = {0, INT_MAX - 1, INT_MAX, INT_MAX};
  ASSERT_TRUE(ComputeWaveColumn(huge, 77, 1, 32767, -32768, 0.0, -6, &c));
  EXPECT_EQ(c.line.y2, INT_MAX);
}

TEST(WaveScale, LinesAndLabelsForHeight271) {
  WaveScale s;
  ComputeWaveScale(392, 271, &s);
  EXPECT_EQ(s.axis, (LineSegment{50, 0, 50, 271}));
  const WaveScaleChannel& l = s.channel[0];
  EXPECT_EQ(l.zeroLine, (LineSegment{50, 67, 392, 67}));
  EXPECT_EQ(l.fullScaleUp, (LineSegment{50, 7, 392, 7}));
  EXPECT_EQ(l.fullScaleDown, (LineSegment{50, 127, 392, 127}));
  EXPECT_EQ(l.labelX, 10);
  EXPECT_EQ(l.labelY, 59);
  EXPECT_STREQ(l.label, "L-ch");
  EXPECT_EQ(l.labelColour, (RgbColour{0, 0, 255}));
  const WaveScaleChannel& r = s.channel[1];
  EXPECT_EQ(r.zeroLine, (LineSegment{50, 202, 392, 202}));
  EXPECT_EQ(r.fullScaleUp.y1, 142);
  EXPECT_EQ(r.fullScaleDown.y1, 262);
  EXPECT_EQ(r.labelY, 194);
  EXPECT_STREQ(r.label, "R-ch");
  EXPECT_EQ(r.labelColour, (RgbColour{255, 0, 0}));
}

}  // namespace
