#include "windows/channel_band.h"

#include <climits>

#include <gtest/gtest.h>

#include "windows/frame_geometry.h"

namespace {

ChannelBand Band(int height, int channel) {
  ChannelBand b = {-7, -7, -7, -7};
  ComputeChannelBand(height, channel, kChannelBandScale, &b);
  return b;
}

void ExpectBand(const ChannelBand& b, int top, int centre, int bottom, int amplitude) {
  EXPECT_EQ(b.top, top);
  EXPECT_EQ(b.centre, centre);
  EXPECT_EQ(b.bottom, bottom);
  EXPECT_EQ(b.amplitude, amplitude);
}

TEST(ChannelBand, WorkedExampleHeight271) {
  ExpectBand(Band(271, 1), 0, 67, 135, 60);
  ExpectBand(Band(271, 2), 135, 202, 270, 60);
}

TEST(ChannelBand, HeightOneGivesEmptyBands) {
  ExpectBand(Band(1, 1), 0, 0, 0, 0);
  ExpectBand(Band(1, 2), 0, 0, 0, 0);
}

TEST(ChannelBand, SecondBandStartsWhereFirstEnds) {
  for (int h : {0, 2, 3, 100, 299, 300, 301, 1137}) {
    EXPECT_EQ(Band(h, 1).bottom, Band(h, 2).top) << h;
    EXPECT_EQ(Band(h, 1).amplitude, static_cast<int>(h / 2 * 0.9 * 0.5)) << h;
  }
}

TEST(ChannelBand, OtherChannelsLeaveTheRecordUntouched) {
  for (int channel : {0, 3, -1, INT_MIN, INT_MAX}) ExpectBand(Band(271, channel), -7, -7, -7, -7);
  ComputeChannelBand(271, 1, kChannelBandScale, nullptr);  // must not crash
}

TEST(ChannelBand, ExtremeHeightsStayDefined) {
  ExpectBand(Band(INT_MAX, 2), 1073741823, 1610612734, 2147483646, 483183820);
  EXPECT_EQ(Band(100, 1).amplitude, 22);
  ChannelBand b = {0, 0, 0, 0};
  ComputeChannelBand(100, 1, 1e300, &b);  // an absurd scale saturates
  EXPECT_EQ(b.amplitude, INT_MAX);
}

TEST(FrameGeometry, SweepCursorBlanksColumnAndMarksTheNext) {
  const SweepCursorLines c = ComputeSweepCursor(51, 271);
  EXPECT_EQ(c.blank, (LineSegment{51, 0, 51, 271}));
  EXPECT_EQ(c.cursor, (LineSegment{52, 0, 52, 271}));
  EXPECT_EQ(ComputeSweepCursor(INT_MAX, 10).cursor.x1, INT_MAX);
}

TEST(FrameGeometry, PlacementZeroKeepsCurrentExtent) {
  EXPECT_EQ(ResolvePlacementExtent(0, 400), 400);
  EXPECT_EQ(ResolvePlacementExtent(306, 200), 306);
  EXPECT_EQ(ResolvePlacementExtent(-5, 200), -5);
  EXPECT_EQ(ScaleAxis(271), (LineSegment{50, 0, 50, 271}));
}

}  // namespace
