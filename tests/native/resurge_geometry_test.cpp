#include "resurge_geometry.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

namespace {

TEST(ResurgeGeometry, WorkedExample277x258) {
  const ResurgeGeometry g = ComputeResurgeGeometry(277, 258);
  EXPECT_EQ(g.cx, 138);
  EXPECT_EQ(g.cy, 129);
  EXPECT_EQ(g.s, 116);
  EXPECT_EQ(ResurgePlotPoint(g, 16384, -16384).x, 196);
  EXPECT_EQ(ResurgePlotPoint(g, 16384, -16384).y, 187);
  EXPECT_EQ(ResurgePlotPoint(g, 32767, 0).x, 254);  // on the box edge
  EXPECT_EQ(ResurgePlotPoint(g, -32768, 0).x, 22);
  EXPECT_EQ(ResurgePlotPoint(g, 0, 32767).y, 13);
  EXPECT_EQ(ResurgePlotPoint(g, 0, -32768).y, 245);
  // Any sample at any size stays inside the box.
  for (int w : {1, 2, 50, 1000, 32768}) {
    const ResurgeGeometry h = ComputeResurgeGeometry(w, w + 7);
    for (int v : {-32768, -1, 0, 1, 32767}) {
      const ResurgePoint p = ResurgePlotPoint(h, v, v);
      EXPECT_LE(std::abs(p.x - h.cx), h.s) << w << " " << v;
      EXPECT_LE(std::abs(p.y - h.cy), h.s) << w << " " << v;
    }
  }
}

TEST(ResurgeGeometry, ChannelsFrameAndBlanking277x258) {
  // 7 stands for a hand-edited value other than 1 and 2.
  EXPECT_EQ(ResurgeXSample(10, 20, 1), 10);
  EXPECT_EQ(ResurgeXSample(10, 20, 7), 20);
  EXPECT_EQ(ResurgeYSample(10, 20, 2), 20);
  EXPECT_EQ(ResurgeYSample(10, 20, 7), 10);
  ResurgeFrame f;
  ComputeResurgeFrame(277, 258, 2, 1, &f);
  EXPECT_STREQ(f.xLabel, "R");
  EXPECT_STREQ(f.yLabel, "L");
  ComputeResurgeFrame(277, 258, 1, 2, &f);
  EXPECT_STREQ(f.xLabel, "L");
  EXPECT_STREQ(f.yLabel, "R");
  EXPECT_EQ(std::vector<int>({f.xLabelX, f.xLabelY, f.yLabelX, f.yLabelY}),
            std::vector<int>({265, 129, 140, -1}));
  const LineSegment lines[] = {{0, 129, 277, 129},  {138, 0, 138, 258},   // axes
                               {22, 13, 254, 13},   {22, 245, 254, 245},  // box
                               {22, 13, 22, 245},   {254, 13, 254, 245}};
  const PixelRect blank[] = {
      {23, 14, 138, 129}, {139, 14, 254, 129}, {23, 130, 138, 245}, {139, 130, 254, 245}};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(i < 2 ? f.axes[i] : f.box[i - 2], lines[i]) << i;
  for (int i = 0; i < 4; ++i) EXPECT_EQ(f.blank[i], blank[i]) << i;
  for (int p : {0, 5, 350, -5}) EXPECT_TRUE(ResurgeBlankThisPaint(p)) << p;
  for (int p : {4, 6, INT_MAX, INT_MIN}) EXPECT_FALSE(ResurgeBlankThisPaint(p)) << p;
}

TEST(ResurgeFrameCount, ShareBacklogAndOverflow) {
  // One block at 48000 Hz: 1600 bytes of 4-byte frames, 400 frames.
  struct Case {
    int percentage, frames;
    bool skip;
    unsigned bytes, align;
    int want;
  };
  const Case cases[] = {
      {30, 400, true, 1600, 4, 120},
      {30, 1200, false, 1600, 4, 360},
      {30, 1200, true, 1600, 4, 120},  // three blocks piled up: a third
      {30, 1000, true, 1600, 4, 150},  // 300 / two whole blocks
      {10, 66, false, 264, 4, 6},      // 6.6 truncated
      {1, 99, false, 1600, 4, 0},
      {0, 400, true, 1600, 4, 0},
      {INT_MIN, 400, false, 1600, 4, 0},
      {-2147483647, 400, false, 1600, 4, 0},  // wraps to +400 in 32 bits
      {30, -400, true, 1600, 4, 0},
      {150, 400, false, 1600, 4, 400},  // never more than delivered
      {INT_MAX, INT_MAX, false, 1600, 4, INT_MAX},
      {100, INT_MAX, true, 1600, 4, 400},  // a huge backlog leaves one block
      {100, INT_MAX, true, UINT_MAX, 1, INT_MAX},
      {30, 1200, true, 0, 4, 360},  // no block size: no thinning, no division
      {30, 1200, true, 1600, 0, 360},
      {30, 1200, true, 3, 4, 360},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ResurgeFrameCount(c.percentage, c.frames, c.skip, c.bytes, c.align), c.want)
        << c.percentage << " % of " << c.frames;
}

TEST(ResurgeFrameCount, ValidityAndMessage) {
  for (int p : {100, 0, INT_MIN}) EXPECT_TRUE(IsValidThinResurgeWave(p)) << p;
  for (int p : {101, INT_MAX}) EXPECT_FALSE(IsValidThinResurgeWave(p)) << p;
  char buf[80];
  const char expected[] = "値が不正です: m_iThinResurgeWave = 150";
  EXPECT_EQ(FormatThinResurgeError(buf, sizeof buf, 150), static_cast<int>(std::strlen(expected)));
  EXPECT_STREQ(buf, expected);
}

TEST(ResurgeResize, EndsSquareWithinTwoNestedMoves) {
  struct Case {
    int w, h, moves, endW, endH;
  };
  const Case cases[] = {
      {400, 300, 2, 362, 381},  // worked example: height W - c, width W - 2c
      {281, 300, 0, 281, 300},  // already square
      {319, 300, 2, 281, 300},  // W = H + c keeps its height
      {320, 300, 2, 282, 301},
      {100, 300, 1, 281, 300},  // taller
  };
  for (const Case& c : cases) {
    // Each move delivers a nested size message, one level deeper.
    int w = c.w, h = c.h, moves = 0;
    while (moves < 10 && ResurgeSquareTarget(w, h, 19, moves, &w, &h)) ++moves;
    EXPECT_EQ(moves, c.moves) << c.w << "x" << c.h;
    EXPECT_EQ(w, c.endW) << c.w << "x" << c.h;
    EXPECT_EQ(h, c.endH) << c.w << "x" << c.h;
  }
}

TEST(ResurgeResize, ClampedOrExtremeSizesEnd) {
  int w = 0, h = 0;
  // Two moves deep, a platform that clamped the size gets no third.
  EXPECT_FALSE(ResurgeSquareTarget(600, 200, 19, kResurgeMaxNestedMoves, &w, &h));
  // Targets saturate instead of overflowing.
  EXPECT_FALSE(ResurgeSquareTarget(INT_MIN, INT_MIN, 19, 0, &w, &h));
  ASSERT_TRUE(ResurgeSquareTarget(INT_MAX, 0, INT_MIN, 0, &w, &h));
  EXPECT_EQ(w, INT_MAX);
  EXPECT_EQ(h, INT_MAX);
  EXPECT_FALSE(ResurgeSquareTarget(0, INT_MAX, INT_MAX, 0, &w, &h));
}

}  // namespace
