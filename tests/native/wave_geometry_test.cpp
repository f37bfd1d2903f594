#include "wave_geometry.h"

#include <climits>

#include <gtest/gtest.h>

namespace {

const RgbColour kCaution = {0, 0, 200};

// Band of channel 1 or 2 at the worked example's client height 271.
ChannelBand Band271(int channel) {
  ChannelBand b = {0, 0, 0, 0};
  ComputeChannelBand(271, channel, 0.9, &b);
  return b;
}

// Rows by hand: up = trunc(|max| / 32767 x 60), down = trunc(|min| / 32768 x
// 60) from centre 67 (channel 1) or 202; levels from the peak-to-peak measure.
TEST(WaveColumn, RowsColoursAndClipMarks) {
  struct Case {
    const char* what;
    int channel, max, min;
    double level;
    int y1, y2;
    RgbColour colour;
    int clipEnd;  // row the red mark starts from; 0 for none
  };
  const Case cases[] = {
      {"worked example", 1, 16384, -8192, -8.52, 37, 82, kBlack, 0},
      {"full scale: red, no mark", 1, 32767, -32768, 0.0, 7, 127, kRed, 0},
      {"high clip", 1, 32200, -1000, -5.91, 9, 68, kCaution, 9},
      {"low clip", 2, 1000, -32200, -5.91, 201, 260, kCaution, 260},
      {"both clipped", 1, 32200, -32200, -0.15, 9, 125, kCaution, 0},
      {"32111 is not beyond", 1, 32111, -1000, -5.93, 9, 68, kCaution, 0},
      {"32112 is", 1, 32112, -1000, -5.93, 9, 68, kCaution, 9},
      {"one-sided block", 1, -5000, -5000, -16.33, 58, 76, kBlack, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WaveColumn w = {};
    ASSERT_TRUE(ComputeWaveColumn(Band271(c.channel), 77, 400, c.max, c.min, c.level, -6, &w));
    EXPECT_EQ(w.line, (LineSegment{77, c.y1, 77, c.y2}));
    EXPECT_EQ(w.colour, c.colour);
    EXPECT_EQ(w.hasClipMark, c.clipEnd != 0);
    if (c.clipEnd != 0) {
      const int centre = c.channel == 1 ? 67 : 202;
      EXPECT_EQ(w.clipMark, (LineSegment{77, c.clipEnd, 77, centre}));
    }
  }
}

TEST(WaveColumn, ColourEdges) {
  EXPECT_EQ(WaveColumnColour(-0.1, -6), kRed);
  EXPECT_EQ(WaveColumnColour(-0.1001, -6), kCaution);
  EXPECT_EQ(WaveColumnColour(-6.0, -6), kBlack);  // equal to caution: black
  EXPECT_EQ(WaveColumnColour(-5.999, -6), kCaution);
  EXPECT_EQ(WaveColumnColour(-50.0, INT_MIN), kCaution);
  EXPECT_EQ(WaveColumnColour(-50.0, INT_MAX), kBlack);
}

TEST(WaveColumn, EmptyBlockDrawsNothingAndExtremePeaksStayDefined) {
  WaveColumn c = {};
  c.colour = {1, 2, 3};
  // A scan of no frames leaves max INT_MIN and min INT_MAX.
  EXPECT_FALSE(ComputeWaveColumn(Band271(1), 77, 0, INT_MIN, INT_MAX, -96.0, -6, &c));
  EXPECT_FALSE(ComputeWaveColumn(Band271(2), 77, -3, 0, 0, -96.0, -6, &c));
  EXPECT_FALSE(ComputeWaveColumn(Band271(2), 77, 5, INT_MIN, INT_MAX, -96.0, -6, &c));
  EXPECT_EQ(c.colour, (RgbColour{1, 2, 3}));
  ASSERT_TRUE(ComputeWaveColumn(Band271(1), 77, 1, INT_MAX, INT_MIN, 0.0, -6, &c));
  EXPECT_LT(c.line.y1, c.line.y2);
  ChannelBand huge = {0, INT_MAX - 1, INT_MAX, INT_MAX};
  ASSERT_TRUE(ComputeWaveColumn(huge, 77, 1, 32767, -32768, 0.0, -6, &c));
  EXPECT_EQ(c.line.y2, INT_MAX);
}

// Rows and colours of the scale are read back under Wine; here the extents
// and the labels.
TEST(WaveScale, ExtentsAndLabelsForHeight271) {
  WaveScale s;
  ComputeWaveScale(392, 271, &s);
  EXPECT_EQ(s.channel[0].zeroLine, (LineSegment{50, 67, 392, 67}));
  EXPECT_EQ(s.channel[1].fullScaleDown, (LineSegment{50, 262, 392, 262}));
  EXPECT_EQ(s.channel[0].labelX, 10);
  EXPECT_EQ(s.channel[0].labelY, 59);
  EXPECT_EQ(s.channel[1].labelY, 194);
  EXPECT_STREQ(s.channel[0].label, "L-ch");
  EXPECT_STREQ(s.channel[1].label, "R-ch");
}

}  // namespace
