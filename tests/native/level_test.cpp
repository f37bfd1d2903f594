#include <climits>
#include <cmath>
#include <initializer_list>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/level.h"

namespace {

// Frames of interleaved (left, right) samples.
std::vector<short> Frames(std::initializer_list<std::pair<int, int>> pairs)
{
    std::vector<short> out;
    for (const auto& p : pairs) {
        out.push_back(static_cast<short>(p.first));
        out.push_back(static_cast<short>(p.second));
    }
    return out;
}

// A pair of peaks whose |max| + |min| is the given sum (sum <= 65536).
double LevelOfSum(int sum)
{
    const int max = sum / 2;
    return PeakToPeakDecibel(max, -(sum - max));
}

}  // namespace

TEST(PeakToPeakDecibel, ReferenceValues)
{
    // The documented reference values, each to the digits it gives (half a unit of
    // the last digit). The exact doubles are 20 log10(sum / 65535).
    struct Case {
        int sum;
        double level;
        double tolerance;
    };
    const Case cases[] = {
        {65536, 0.000133, 0.0000005},
        {64785, -0.09998, 0.000005},
        {64784, -0.1001, 0.00005},
        {32768, -6.0205, 0.00005},
        {2000, -30.31, 0.005},
        {1000, -36.33, 0.005},
        {2, -90.31, 0.005},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(LevelOfSum(c.sum), c.level, c.tolerance) << "sum " << c.sum;
}

TEST(PeakToPeakDecibel, FullSpanIsExactlyZero)
{
    EXPECT_EQ(PeakToPeakDecibel(32767, -32768), 0.0);
    EXPECT_EQ(PeakToPeakDecibel(-32768, 32767), 0.0);
    EXPECT_EQ(LevelOfSum(65535), 0.0);
}

TEST(PeakToPeakDecibel, TenthOfADecibelBoundary)
{
    // The Wave window turns red at -0.1 dB: 64785 is above it, 64784 below.
    EXPECT_GT(LevelOfSum(64785), -0.1);
    EXPECT_LT(LevelOfSum(64784), -0.1);
}

TEST(PeakToPeakDecibel, BothPeaksAtMinusFullScaleExceedZero)
{
    // Every sample -32768: sum 65536, a little above 0 dB; there is no upper clamp.
    EXPECT_NEAR(PeakToPeakDecibel(-32768, -32768), 0.000133, 0.0000005);
    EXPECT_GT(PeakToPeakDecibel(-32768, -32768), 0.0);
}

TEST(PeakToPeakDecibel, FloorAtMinus96)
{
    // Sum 1 would be -96.33 dB; 0 is -infinity. Both give the floor exactly.
    EXPECT_EQ(PeakToPeakDecibel(1, 0), -96.0);
    EXPECT_EQ(PeakToPeakDecibel(0, -1), -96.0);
    EXPECT_EQ(PeakToPeakDecibel(0, 0), -96.0);
    EXPECT_EQ(LevelOfSum(1), -96.0);
    // Sum 2 is above the floor.
    EXPECT_GT(LevelOfSum(2), -96.0);
}

TEST(PeakToPeakDecibel, EmptyBlockPairIsSilence)
{
    // The start pair of a scan of no frames: its magnitudes sum to 2^32 - 1,
    // which must not become a large positive level (nor overflow).
    EXPECT_EQ(PeakToPeakDecibel(INT_MIN, INT_MAX), -96.0);
    EXPECT_EQ(PeakToPeakDecibel(kEmptyPeakMax, kEmptyPeakMin), -96.0);
    EXPECT_EQ(PeakToPeakDecibel(INT_MIN, INT_MIN), -96.0);
    EXPECT_EQ(PeakToPeakDecibel(INT_MAX, INT_MAX), -96.0);
}

TEST(GetChannelPeaks, FullScaleBlockGivesExactlyZeroDecibel)
{
    const std::vector<short> f = Frames({{32767, 0}, {-32768, 5}, {100, -7}});
    int max = 0, min = 0;
    GetChannelPeaks(f.data(), 1, 3, &max, &min);
    EXPECT_EQ(max, 32767);
    EXPECT_EQ(min, -32768);
    EXPECT_EQ(PeakToPeakDecibel(max, min), 0.0);
    EXPECT_EQ(GetChannelDecibel(f.data(), 1, 3), 0.0);
}

TEST(GetChannelPeaks, ConstantBlockCountsBothPeaksAsMagnitudes)
{
    // All samples 1000: max = min = 1000, and the level is that of sum 2000.
    const std::vector<short> f = Frames({{1000, 1000}, {1000, 1000}, {1000, 1000}, {1000, 1000}});
    int max = 0, min = 0;
    GetChannelPeaks(f.data(), 1, 4, &max, &min);
    EXPECT_EQ(max, 1000);
    EXPECT_EQ(min, 1000);
    EXPECT_NEAR(GetChannelDecibel(f.data(), 1, 4), -30.31, 0.005);
    EXPECT_EQ(GetChannelDecibel(f.data(), 1, 4), 20.0 * std::log10(2000.0 * (1.0 / 65535.0)));
}

TEST(GetChannelPeaks, SilenceGivesZeroPeaksAndFloor)
{
    const std::vector<short> f = Frames({{0, 0}, {0, 0}});
    int max = 1, min = 1;
    GetChannelPeaks(f.data(), 2, 2, &max, &min);
    EXPECT_EQ(max, 0);
    EXPECT_EQ(min, 0);
    EXPECT_EQ(GetChannelDecibel(f.data(), 2, 2), -96.0);
}

TEST(GetChannelPeaks, ChannelTwoReadsSecondSampleOthersTheFirst)
{
    const std::vector<short> f = Frames({{10, -300}, {-20, 400}, {30, 5}});
    struct Case {
        int channel, max, min;
    };
    const Case cases[] = {
        {1, 30, -20}, {2, 400, -300}, {0, 30, -20}, {3, 30, -20}, {-1, 30, -20}, {INT_MAX, 30, -20},
    };
    for (const Case& c : cases) {
        int max = 0, min = 0;
        GetChannelPeaks(f.data(), c.channel, 3, &max, &min);
        EXPECT_EQ(max, c.max) << "channel " << c.channel;
        EXPECT_EQ(min, c.min) << "channel " << c.channel;
    }
}

TEST(GetChannelPeaks, ReadsOnlyTheCountedFrames)
{
    const std::vector<short> f = Frames({{5, 6}, {-5, -6}, {32767, -32768}});
    int max = 0, min = 0;
    GetChannelPeaks(f.data(), 1, 2, &max, &min);
    EXPECT_EQ(max, 5);
    EXPECT_EQ(min, -5);
    GetChannelPeaks(f.data(), 2, 1, &max, &min);
    EXPECT_EQ(max, 6);
    EXPECT_EQ(min, 6);
}

TEST(GetChannelPeaks, EqualValuesAndSingleFrame)
{
    // One frame: that sample is both peaks. Negative-only blocks keep their signs.
    const std::vector<short> f = Frames({{-1234, 7}, {-4000, 7}});
    int max = 0, min = 0;
    GetChannelPeaks(f.data(), 1, 1, &max, &min);
    EXPECT_EQ(max, -1234);
    EXPECT_EQ(min, -1234);
    GetChannelPeaks(f.data(), 1, 2, &max, &min);
    EXPECT_EQ(max, -1234);
    EXPECT_EQ(min, -4000);
    // The level adds the magnitudes: 1234 + 4000.
    EXPECT_EQ(PeakToPeakDecibel(max, min), 20.0 * std::log10(5234.0 * (1.0 / 65535.0)));
}

TEST(GetChannelPeaks, NullOutPointersAreNotWritten)
{
    const std::vector<short> f = Frames({{3, -4}, {-3, 4}});
    int max = 99;
    GetChannelPeaks(f.data(), 1, 2, &max, nullptr);
    EXPECT_EQ(max, 3);
    int min = 99;
    GetChannelPeaks(f.data(), 2, 2, nullptr, &min);
    EXPECT_EQ(min, -4);
    GetChannelPeaks(f.data(), 1, 2, nullptr, nullptr);
}

TEST(GetChannelPeaks, NoFramesWithNullPointersWritesNothing)
{
    // Count 0 or negative: nothing is read, not even through a null buffer,
    // and nothing is written.
    for (int count : {0, -1, INT_MIN}) {
        GetChannelPeaks(nullptr, 1, count, nullptr, nullptr);
        GetChannelPeaks(nullptr, 2, count, nullptr, nullptr);
    }
    const std::vector<short> f = Frames({{1, 2}});
    GetChannelPeaks(f.data(), 1, 0, nullptr, nullptr);
    GetChannelPeaks(f.data(), 1, -5, nullptr, nullptr);
    EXPECT_EQ(f[0], 1);
    EXPECT_EQ(f[1], 2);
}

TEST(GetChannelPeaks, NoFramesGivesTheStartPair)
{
    for (int count : {0, -1, -100}) {
        int max = 0, min = 0;
        GetChannelPeaks(nullptr, 1, count, &max, &min);
        EXPECT_EQ(max, INT_MIN) << "count " << count;
        EXPECT_EQ(min, INT_MAX) << "count " << count;
        EXPECT_EQ(GetChannelDecibel(nullptr, 2, count), -96.0) << "count " << count;
    }
}

TEST(GetChannelDecibel, IsPeaksThenLevel)
{
    // A sine-like block with peaks +16384 and -16384: -6.0205 dB.
    std::vector<short> f;
    for (int i = 0; i < 400; ++i) {
        const double v = 16384.0 * std::sin(2 * 3.141592653589793 * i / 40.0);
        const int s = static_cast<int>(std::lround(v));
        f.push_back(static_cast<short>(s));
        f.push_back(static_cast<short>(-s / 2));
    }
    int max = 0, min = 0;
    GetChannelPeaks(f.data(), 1, 400, &max, &min);
    EXPECT_EQ(max, 16384);
    EXPECT_EQ(min, -16384);
    EXPECT_NEAR(GetChannelDecibel(f.data(), 1, 400), -6.0205, 0.00005);
    for (int channel : {1, 2}) {
        GetChannelPeaks(f.data(), channel, 400, &max, &min);
        EXPECT_EQ(GetChannelDecibel(f.data(), channel, 400), PeakToPeakDecibel(max, min));
    }
}
