#include "windows/resurge_geometry.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

namespace {

TEST(ResurgeGeometry, WorkedExample277x258) {
  const ResurgeGeometry g = ComputeResurgeGeometry(277, 258);
  EXPECT_EQ(g.cx, 138);
  EXPECT_EQ(g.cy, 129);
  EXPECT_EQ(g.s, 116);
  const ResurgePoint p = ResurgePlotPoint(g, 16384, -16384);
  EXPECT_EQ(p.x, 196);
  EXPECT_EQ(p.y, 187);
  EXPECT_EQ(ResurgePlotPoint(g, 32767, 0).x, 254);
  EXPECT_EQ(ResurgePlotPoint(g, -32768, 0).x, 22);
  EXPECT_EQ(ResurgePlotPoint(g, 0, 32767).y, 129 - 116);  // top edge of the box
  EXPECT_EQ(ResurgePlotPoint(g, 0, -32768).y, 129 + 116);
}

TEST(ResurgeGeometry, EverySampleStaysInsideTheBox) {
  for (int w : {1, 2, 50, 277, 1000, 32768}) {
    const ResurgeGeometry g = ComputeResurgeGeometry(w, w + 7);
    for (int v : {-32768, -32767, -1, 0, 1, 32766, 32767}) {
      const ResurgePoint p = ResurgePlotPoint(g, v, v);
      EXPECT_LE(std::abs(p.x - g.cx), g.s) << w << " " << v;
      EXPECT_LE(std::abs(p.y - g.cy), g.s) << w << " " << v;
    }
  }
}

TEST(ResurgeGeometry, ChannelChoiceAndLabels) {
  EXPECT_EQ(ResurgeXSample(10, 20, 1), 10);
  EXPECT_EQ(ResurgeXSample(10, 20, 2), 20);
  EXPECT_EQ(ResurgeYSample(10, 20, 2), 20);
  EXPECT_EQ(ResurgeYSample(10, 20, 1), 10);
  // Values other than 1 and 2, as a hand-edited store may hold.
  EXPECT_EQ(ResurgeXSample(10, 20, 7), 20);
  EXPECT_EQ(ResurgeYSample(10, 20, 7), 10);

  ResurgeFrame f;
  ComputeResurgeFrame(277, 258, 2, 1, &f);
  EXPECT_STREQ(f.xLabel, "R");
  EXPECT_STREQ(f.yLabel, "L");
  ComputeResurgeFrame(277, 258, 1, 2, &f);
  EXPECT_STREQ(f.xLabel, "L");
  EXPECT_STREQ(f.yLabel, "R");
}

TEST(ResurgeGeometry, FramePositions277x258) {
  ResurgeFrame f;
  ComputeResurgeFrame(277, 258, 1, 2, &f);
  EXPECT_EQ(f.xLabelX, 265);
  EXPECT_EQ(f.xLabelY, 129);
  EXPECT_EQ(f.yLabelX, 140);
  EXPECT_EQ(f.yLabelY, -1);
  EXPECT_EQ(f.axes[0], (LineSegment{0, 129, 277, 129}));
  EXPECT_EQ(f.axes[1], (LineSegment{138, 0, 138, 258}));
  EXPECT_EQ(f.box[0], (LineSegment{22, 13, 254, 13}));
  EXPECT_EQ(f.box[1], (LineSegment{22, 245, 254, 245}));
  EXPECT_EQ(f.box[2], (LineSegment{22, 13, 22, 245}));
  EXPECT_EQ(f.box[3], (LineSegment{254, 13, 254, 245}));
  EXPECT_EQ(f.blank[0], (PixelRect{23, 14, 138, 129}));
  EXPECT_EQ(f.blank[1], (PixelRect{139, 14, 254, 129}));
  EXPECT_EQ(f.blank[2], (PixelRect{23, 130, 138, 245}));
  EXPECT_EQ(f.blank[3], (PixelRect{139, 130, 254, 245}));
}

TEST(ResurgeGeometry, BlankEveryFifthSweepPosition) {
  for (int p : {0, 5, 10, 15, 350, -5}) EXPECT_TRUE(ResurgeBlankThisPaint(p)) << p;
  for (int p : {1, 4, 6, 14, 349, INT_MAX, INT_MIN}) EXPECT_FALSE(ResurgeBlankThisPaint(p)) << p;
}

// Frames of one block at 48000 Hz: 1600 bytes of 4-byte frames.
const unsigned kBlockBytes = 1600, kAlign = 4;

TEST(ResurgeFrameCount, PercentageOfTheDeliveredFrames) {
  EXPECT_EQ(ResurgeFrameCount(30, 400, true, kBlockBytes, kAlign), 120);
  EXPECT_EQ(ResurgeFrameCount(30, 1200, true, kBlockBytes, kAlign), 120);
  EXPECT_EQ(ResurgeFrameCount(30, 1200, false, kBlockBytes, kAlign), 360);
  EXPECT_EQ(ResurgeFrameCount(100, 400, true, kBlockBytes, kAlign), 400);
  EXPECT_EQ(ResurgeFrameCount(10, 66, false, 264, kAlign), 6);  // 6.6 truncated
  EXPECT_EQ(ResurgeFrameCount(30, 1000, true, kBlockBytes, kAlign), 150);  // 300 / 2 blocks
}

TEST(ResurgeFrameCount, ZeroOrLessDrawsNothing) {
  EXPECT_EQ(ResurgeFrameCount(0, 400, true, kBlockBytes, kAlign), 0);
  EXPECT_EQ(ResurgeFrameCount(-30, 400, true, kBlockBytes, kAlign), 0);
  EXPECT_EQ(ResurgeFrameCount(INT_MIN, 400, false, kBlockBytes, kAlign), 0);
  EXPECT_EQ(ResurgeFrameCount(30, 0, true, kBlockBytes, kAlign), 0);
  EXPECT_EQ(ResurgeFrameCount(30, -400, true, kBlockBytes, kAlign), 0);
  EXPECT_EQ(ResurgeFrameCount(1, 99, false, kBlockBytes, kAlign), 0);  // 0.99 truncates to 0
}

TEST(ResurgeFrameCount, HugeValuesNeverExceedTheDeliveredFrames) {
  EXPECT_EQ(ResurgeFrameCount(150, 400, false, kBlockBytes, kAlign), 400);
  EXPECT_EQ(ResurgeFrameCount(INT_MAX, 400, false, kBlockBytes, kAlign), 400);
  EXPECT_EQ(ResurgeFrameCount(INT_MAX, INT_MAX, false, kBlockBytes, kAlign), INT_MAX);
  // 5368709 whole blocks piled up: one block's worth is left.
  EXPECT_EQ(ResurgeFrameCount(100, INT_MAX, true, kBlockBytes, kAlign), 400);
  EXPECT_EQ(ResurgeFrameCount(100, INT_MAX, true, UINT_MAX, 1), INT_MAX);
}

TEST(ResurgeFrameCount, ZeroBlockSizeDoesNotDivide) {
  EXPECT_EQ(ResurgeFrameCount(30, 1200, true, 0, kAlign), 360);
  EXPECT_EQ(ResurgeFrameCount(30, 1200, true, kBlockBytes, 0), 360);
  EXPECT_EQ(ResurgeFrameCount(30, 1200, true, 3, kAlign), 360);  // less than a frame per block
}

TEST(ResurgeFrameCount, ValidityAndMessage) {
  EXPECT_TRUE(IsValidThinResurgeWave(100));
  EXPECT_TRUE(IsValidThinResurgeWave(10));
  EXPECT_TRUE(IsValidThinResurgeWave(0));
  EXPECT_TRUE(IsValidThinResurgeWave(INT_MIN));
  EXPECT_FALSE(IsValidThinResurgeWave(101));
  EXPECT_FALSE(IsValidThinResurgeWave(150));
  EXPECT_FALSE(IsValidThinResurgeWave(INT_MAX));
  char buf[80];
  // Both literals go through the same execution character set.
  const char expected[] = "値が不正です: m_iThinResurgeWave = 150";
  EXPECT_EQ(FormatThinResurgeError(buf, sizeof buf, 150), static_cast<int>(std::strlen(expected)));
  EXPECT_STREQ(buf, expected);
}

// Drives the resize rule the way the window does: each move delivers a nested
// size message; `clamp` stands for what the platform makes of a requested size.
template <typename Clamp>
int ResizeChain(int w, int h, int caption, Clamp clamp, int* endW, int* endH) {
  int moves = 0, depth = 0;
  // Recursion unrolled: each iteration is one nested size message.
  for (;;) {
    int nw = 0, nh = 0;
    if (!ResurgeSquareTarget(w, h, caption, depth, &nw, &nh)) break;
    ++moves;
    ++depth;
    clamp(&nw, &nh);
    if (nw == w && nh == h) break;  // a move that keeps the size sends no size message
    w = nw;
    h = nh;
    if (moves > 100) break;
  }
  *endW = w;
  *endH = h;
  return moves;
}

void NoClamp(int*, int*) {}

TEST(ResurgeResize, WorkedExample400x300) {
  int w = 0, h = 0;
  ASSERT_TRUE(ResurgeSquareTarget(400, 300, 19, 0, &w, &h));
  EXPECT_EQ(w, 381);
  EXPECT_EQ(h, 381);
  ASSERT_TRUE(ResurgeSquareTarget(381, 381, 19, 1, &w, &h));
  EXPECT_EQ(w, 362);
  EXPECT_EQ(h, 381);
  EXPECT_FALSE(ResurgeSquareTarget(362, 381, 19, 2, &w, &h));
  EXPECT_FALSE(ResurgeSquareTarget(362, 381, 19, 0, &w, &h));
}

TEST(ResurgeResize, EndsSquareWithinTwoMoves) {
  struct Case { int w, h, moves, endW, endH; };
  const Case cases[] = {
      {400, 300, 2, 362, 381},  // wider by more than c: height W - c, width W - 2c
      {281, 300, 0, 281, 300},  // already square
      {319, 300, 2, 281, 300},  // W = H + c: keeps its height
      {320, 300, 2, 282, 301},  // W = H + c + 1: height W - c
      {300, 300, 1, 281, 300},
      {100, 300, 1, 281, 300},
      {285, 304, 0, 285, 304},  // the defaults
  };
  for (const Case& c : cases) {
    int w = 0, h = 0;
    EXPECT_EQ(ResizeChain(c.w, c.h, 19, NoClamp, &w, &h), c.moves) << c.w << "x" << c.h;
    EXPECT_EQ(w, c.endW) << c.w << "x" << c.h;
    EXPECT_EQ(h, c.endH) << c.w << "x" << c.h;
  }
}

TEST(ResurgeResize, ClampingPlatformCannotLoopForever) {
  int w = 0, h = 0;
  // The platform keeps every window at least 200 wide: the first move lands
  // unsquare, and the nested handler stops rather than move again.
  auto minWidth = [](int* nw, int*) { *nw = std::max(*nw, 200); };
  EXPECT_LE(ResizeChain(150, 100, 19, minWidth, &w, &h), kResurgeMaxNestedMoves);
  // A platform that answers every request with the same size.
  auto fixed = [](int* nw, int* nh) { *nw = 500; *nh = 120; };
  EXPECT_LE(ResizeChain(500, 120, 19, fixed, &w, &h), 1);
  // One that answers with alternating sizes.
  bool flip = false;
  auto alternate = [&flip](int* nw, int* nh) {
    flip = !flip;
    *nw = flip ? 600 : 300;
    *nh = flip ? 200 : 500;
  };
  EXPECT_LE(ResizeChain(400, 300, 19, alternate, &w, &h), kResurgeMaxNestedMoves);
}

TEST(ResurgeResize, ExtremeSizesStayDefined) {
  int w = 0, h = 0;
  // The target saturates to the current size: no move.
  EXPECT_FALSE(ResurgeSquareTarget(INT_MIN, INT_MIN, 19, 0, &w, &h));
  ASSERT_TRUE(ResurgeSquareTarget(INT_MAX, 0, INT_MIN, 0, &w, &h));
  EXPECT_EQ(w, INT_MAX);
  EXPECT_EQ(h, INT_MAX);
  EXPECT_FALSE(ResurgeSquareTarget(0, INT_MAX, INT_MAX, 0, &w, &h));  // W = H - c
}

}  // namespace
