#include "decibel_geometry.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

namespace {

TEST(DecibelToY, WorkedExampleAndExtremes) {
  // H = 250: span 225, margin 12.
  struct Case {
    double level;
    int height, row;
  };
  const Case cases[] = {
      {0.0, 250, 12},       {-6.0, 250, 26},     {-48.0, 250, 124},
      {-96.0, 250, 237},    {0.000133, 250, 12}, {6.0, 250, 26},  // magnitude is used
      {-96.0, 0, 0},        {-96.0, 1, 0},       {-96.0, INT_MAX, 1932735282 + 107374182},
      {-1e300, 250, INT_MAX}, {std::numeric_limits<double>::infinity(), 250, INT_MAX},
      {std::nan(""), 250, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(DecibelToY(c.level, c.height), c.row) << c.level;
  EXPECT_LT(DecibelToY(-96.0, INT_MIN), 0);
}

TEST(DecibelScale, TwelveDecibelStepsUpTo300RowsThenSix) {
  // Rows trunc(|v| / 96 x 225 + 12) by hand for v = -96, -84, ..., 0.
  const int rows[] = {237, 208, 180, 152, 124, 96, 68, 40, 12};
  DecibelScale s;
  ComputeDecibelScale(392, 250, &s);
  EXPECT_EQ(s.axis, (LineSegment{50, 12, 50, 237}));
  ASSERT_EQ(s.lineCount, 9);
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(s.lines[i].value, -96 + 12 * i);
    EXPECT_EQ(s.lines[i].line, (LineSegment{50, rows[i], 392, rows[i]}));
    EXPECT_EQ(s.lines[i].labelY, rows[i] - 8);
    EXPECT_EQ(s.lines[i].labelX, i == 8 ? 5 : 20);
  }
  EXPECT_STREQ(s.lines[0].label, "-96");
  EXPECT_STREQ(s.lines[8].label, "[dB] 0");
  ComputeDecibelScale(400, 300, &s);
  EXPECT_EQ(s.lineCount, 9);
  ComputeDecibelScale(400, 301, &s);
  ASSERT_EQ(s.lineCount, 17);
  EXPECT_STREQ(s.lines[14].label, "-12");
  EXPECT_STREQ(s.lines[15].label, " -6");
  EXPECT_STREQ(s.lines[16].label, "[dB] 0");
  EXPECT_EQ(DecibelGridLineCount(0), 9);
  EXPECT_EQ(DecibelGridLineCount(INT_MAX), 17);
}

TEST(DecibelTrace, StartsAtRow100AndJoinsThePreviousRows) {
  DecibelTraceState state;
  EXPECT_EQ(state.lastTitleTick, 0u);
  const DecibelTraceStep first = AdvanceDecibelTrace(&state, 51, 250, -96.0, -96.0);
  EXPECT_EQ(first.right, (LineSegment{50, 100, 51, 237}));
  EXPECT_EQ(first.left, (LineSegment{50, 100, 51, 237}));
  const DecibelTraceStep second = AdvanceDecibelTrace(&state, 52, 250, 0.0, -6.0);
  EXPECT_EQ(second.right, (LineSegment{51, 237, 52, 26}));
  EXPECT_EQ(second.left, (LineSegment{51, 237, 52, 12}));
  // A wrap of the sweep column keeps the last rows.
  const DecibelTraceStep wrapped = AdvanceDecibelTrace(&state, 51, 250, -48.0, -48.0);
  EXPECT_EQ(wrapped.left, (LineSegment{50, 12, 51, 124}));
  EXPECT_EQ(AdvanceDecibelTrace(&state, INT_MIN, 250, 0, 0).left.x1, INT_MIN);
}

TEST(DecibelTitle, DueStrictlyAfterASecondAcrossTheTickWrap) {
  EXPECT_TRUE(DecibelTitleDue(1001, 0));  // the first paint
  EXPECT_FALSE(DecibelTitleDue(1000, 0));
  EXPECT_FALSE(DecibelTitleDue(5000, 5000));
  EXPECT_TRUE(DecibelTitleDue(6001, 5000));
  EXPECT_FALSE(DecibelTitleDue(100, 0xFFFFFF00u));
  EXPECT_TRUE(DecibelTitleDue(1000, 0xFFFFFF00u));
}

TEST(DecibelTitle, TextAsPrintfMakesItInCp932) {
  char buf[kDecibelTitleSize];
  const char expected[] = "有効デシベル - L: -12.3[dB]  R:  -6.0[dB]";
  EXPECT_EQ(FormatDecibelTitle(buf, sizeof buf, -12.34, -6.0),
            static_cast<int>(std::strlen(expected)));
  EXPECT_STREQ(buf, expected);
  EXPECT_EQ(FormatDecibelTitle(buf, sizeof buf, -96.0, 0.000133), 41);
  EXPECT_STREQ(buf, "有効デシベル - L: -96.0[dB]  R:   0.0[dB]");
  // 有 is 0x97 0x4C in CP932: two bytes for each of the six characters.
  EXPECT_EQ(static_cast<unsigned char>(buf[0]), 0x97);
  EXPECT_EQ(static_cast<unsigned char>(buf[1]), 0x4C);
  char small[8];  // cut, never overrun
  EXPECT_EQ(FormatDecibelTitle(small, sizeof small, -96.0, -96.0), 41);
  EXPECT_EQ(small[7], '\0');
}

}  // namespace
