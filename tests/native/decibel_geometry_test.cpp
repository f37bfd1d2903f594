#include "windows/decibel_geometry.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

namespace {

TEST(DecibelToY, WorkedExampleHeight250) {
  EXPECT_EQ(DecibelToY(0.0, 250), 12);
  EXPECT_EQ(DecibelToY(-6.0, 250), 26);
  EXPECT_EQ(DecibelToY(-48.0, 250), 124);
  EXPECT_EQ(DecibelToY(-96.0, 250), 237);
  EXPECT_EQ(DecibelToY(0.000133, 250), 12);  // a small positive level lands at the 0 dB row
  EXPECT_EQ(DecibelToY(6.0, 250), 26);       // magnitude: below the 0 dB row
}

TEST(DecibelToY, ExtremeInputsStayDefined) {
  EXPECT_EQ(DecibelToY(-96.0, 0), 0);
  EXPECT_EQ(DecibelToY(-96.0, 1), 0);
  EXPECT_EQ(DecibelToY(-96.0, INT_MAX), 1932735282 + 107374182);  // span + margin
  EXPECT_EQ(DecibelToY(-1e300, 250), INT_MAX);
  EXPECT_EQ(DecibelToY(std::numeric_limits<double>::infinity(), 250), INT_MAX);
  EXPECT_EQ(DecibelToY(std::nan(""), 250), 0);
  EXPECT_LT(DecibelToY(-96.0, INT_MIN), 0);
}

TEST(DecibelScale, StepAndLineCountSwitchAbove300) {
  EXPECT_EQ(DecibelGridStep(300), 12);
  EXPECT_EQ(DecibelGridLineCount(300), 9);
  EXPECT_EQ(DecibelGridStep(301), 6);
  EXPECT_EQ(DecibelGridLineCount(301), 17);
  EXPECT_EQ(DecibelGridLineCount(0), 9);
  EXPECT_EQ(DecibelGridLineCount(INT_MAX), 17);
}

TEST(DecibelScale, TwelveDecibelGridAtHeight250) {
  DecibelScale s;
  ComputeDecibelScale(392, 250, &s);
  EXPECT_EQ(s.axis, (LineSegment{50, 12, 50, 237}));
  ASSERT_EQ(s.lineCount, 9);
  const int values[] = {-96, -84, -72, -60, -48, -36, -24, -12, 0};
  for (int i = 0; i < 9; ++i) {
    const DecibelGridLine& g = s.lines[i];
    EXPECT_EQ(g.value, values[i]);
    const int row = DecibelToY(values[i], 250);
    EXPECT_EQ(g.line, (LineSegment{50, row, 392, row}));
    EXPECT_EQ(g.labelY, row - 8);
  }
  EXPECT_STREQ(s.lines[0].label, "-96");
  EXPECT_EQ(s.lines[0].labelX, 20);
  EXPECT_EQ(s.lines[4].line.y1, 124);
  EXPECT_STREQ(s.lines[8].label, "[dB] 0");
  EXPECT_EQ(s.lines[8].labelX, 5);
  EXPECT_EQ(s.lines[8].labelY, 4);
}

TEST(DecibelScale, SixDecibelGridAtHeight301) {
  DecibelScale s;
  ComputeDecibelScale(400, 301, &s);
  ASSERT_EQ(s.lineCount, 17);
  EXPECT_EQ(s.lines[0].value, -96);
  EXPECT_EQ(s.lines[15].value, -6);
  EXPECT_STREQ(s.lines[15].label, " -6");
  EXPECT_STREQ(s.lines[14].label, "-12");
  EXPECT_EQ(s.lines[16].value, 0);
  EXPECT_STREQ(s.lines[16].label, "[dB] 0");
}

TEST(DecibelTrace, FirstSegmentsStartAtRow100) {
  DecibelTraceState state;
  EXPECT_EQ(state.previousLeftY, 100);
  EXPECT_EQ(state.previousRightY, 100);
  EXPECT_EQ(state.lastTitleTick, 0u);
  const DecibelTraceStep first = AdvanceDecibelTrace(&state, 51, 250, -96.0, -96.0);
  EXPECT_EQ(first.right, (LineSegment{50, 100, 51, 237}));
  EXPECT_EQ(first.left, (LineSegment{50, 100, 51, 237}));
  const DecibelTraceStep second = AdvanceDecibelTrace(&state, 52, 250, 0.0, -6.0);
  EXPECT_EQ(second.right, (LineSegment{51, 237, 52, 26}));
  EXPECT_EQ(second.left, (LineSegment{51, 237, 52, 12}));
  EXPECT_EQ(state.previousLeftY, 12);
  EXPECT_EQ(state.previousRightY, 26);
  // A wrap of the sweep column keeps the last rows.
  const DecibelTraceStep wrapped = AdvanceDecibelTrace(&state, 51, 250, -48.0, -48.0);
  EXPECT_EQ(wrapped.left, (LineSegment{50, 12, 51, 124}));
  EXPECT_EQ(AdvanceDecibelTrace(&state, INT_MIN, 250, 0, 0).left.x1, INT_MIN);
}

TEST(DecibelTitle, DueStrictlyAfterASecond) {
  EXPECT_TRUE(DecibelTitleDue(1001, 0));  // first paint: last update starts at 0
  EXPECT_FALSE(DecibelTitleDue(1000, 0));
  EXPECT_FALSE(DecibelTitleDue(5000, 5000));
  EXPECT_TRUE(DecibelTitleDue(6001, 5000));
  // Across the wrap of the 32-bit tick count.
  EXPECT_FALSE(DecibelTitleDue(100, 0xFFFFFF00u));
  EXPECT_TRUE(DecibelTitleDue(1000, 0xFFFFFF00u));
}

TEST(DecibelTitle, BlocksEvery100MsUpdateOnEveryEleventhBlock) {
  std::uint32_t last = 0xFFFFFC18u;  // 1000 ms before the wrap
  std::uint32_t now = last;
  int blocks = 0, updates = 0, lastGap = 0, sinceUpdate = 0;
  for (blocks = 0; blocks < 110; ++blocks) {
    now += 100;
    ++sinceUpdate;
    if (DecibelTitleDue(now, last)) {
      last = now;
      ++updates;
      lastGap = sinceUpdate;
      sinceUpdate = 0;
    }
  }
  EXPECT_EQ(updates, 10);
  EXPECT_EQ(lastGap, 11);
}

TEST(DecibelTitle, TextAsPrintfMakesIt) {
  char buf[kDecibelTitleSize];
  // Both sides go through the same execution character set.
  const char expected[] = "有効デシベル - L: -12.3[dB]  R:  -6.0[dB]";
  EXPECT_EQ(FormatDecibelTitle(buf, sizeof buf, -12.34, -6.0),
            static_cast<int>(std::strlen(expected)));
  EXPECT_STREQ(buf, expected);
  FormatDecibelTitle(buf, sizeof buf, -96.0, 0.000133);
  EXPECT_STREQ(buf, "有効デシベル - L: -96.0[dB]  R:   0.0[dB]");
}

TEST(DecibelTitle, TitleIsCp932AndFits) {
  char buf[kDecibelTitleSize];
  const int n = FormatDecibelTitle(buf, sizeof buf, -96.0, -96.0);
  EXPECT_LT(n, static_cast<int>(kDecibelTitleSize));
  // 有 in CP932 is 0x97 0x4C; each of the six title characters takes two bytes.
  EXPECT_EQ(static_cast<unsigned char>(buf[0]), 0x97);
  EXPECT_EQ(static_cast<unsigned char>(buf[1]), 0x4C);
  EXPECT_EQ(buf[12], ' ');
  EXPECT_EQ(n, 41);
  // A buffer that is too small is cut, never overrun.
  char small[8];
  EXPECT_EQ(FormatDecibelTitle(small, sizeof small, -96.0, -96.0), 41);
  EXPECT_EQ(small[7], '\0');
}

}  // namespace
