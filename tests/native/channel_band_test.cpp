#include "channel_band.h"

#include <climits>
#include <vector>

#include <gtest/gtest.h>

#include "frame_geometry.h"

namespace {

ChannelBand Band(int height, int channel, double scale = kChannelBandScale) {
  ChannelBand b = {-7, -7, -7, -7};
  ComputeChannelBand(height, channel, scale, &b);
  return b;
}

TEST(ChannelBand, WorkedExamplesAndEdges) {
  struct Case {
    int height, channel, top, centre, bottom, amplitude;
  };
  const Case cases[] = {
      {271, 1, 0, 67, 135, 60},  // worked example
      {271, 2, 135, 202, 270, 60},
      {1, 1, 0, 0, 0, 0},
      {1, 2, 0, 0, 0, 0},
      {100, 1, 0, 25, 50, 22},  // 50 x 0.9 x 0.5 = 22.5, truncated
      {INT_MAX, 2, 1073741823, 1610612734, 2147483646, 483183820},
      {271, 0, -7, -7, -7, -7},  // other channels leave the record alone
      {271, 3, -7, -7, -7, -7},
      {271, INT_MIN, -7, -7, -7, -7},
  };
  for (const Case& c : cases) {
    const ChannelBand b = Band(c.height, c.channel);
    EXPECT_EQ(std::vector<int>({b.top, b.centre, b.bottom, b.amplitude}),
              std::vector<int>({c.top, c.centre, c.bottom, c.amplitude}))
        << c.height << "/" << c.channel;
  }
  for (int h : {0, 3, 299, 301, 1137}) EXPECT_EQ(Band(h, 1).bottom, Band(h, 2).top) << h;
  EXPECT_EQ(Band(100, 1, 1e300).amplitude, INT_MAX);  // an absurd scale saturates
  ComputeChannelBand(271, 1, kChannelBandScale, nullptr);  // must not crash
}

TEST(FrameGeometry, SweepCursorSaturates) {
  EXPECT_EQ(ComputeSweepCursor(51, 271).cursor, (LineSegment{52, 0, 52, 271}));
  EXPECT_EQ(ComputeSweepCursor(INT_MAX, 10).cursor.x1, INT_MAX);
}

}  // namespace
