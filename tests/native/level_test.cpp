#include <climits>

#include <gtest/gtest.h>

#include "level.h"

namespace {

TEST(PeakToPeakDecibel, ReferenceValuesFloorAndImpossiblePairs)
{
    // The documented values of 20 log10((|max| + |min|) / 65535), each to the
    // digits given (half a unit of the last); the rest exact.
    struct Case { int max, min; double level, tolerance; };
    const Case cases[] = {
        {32767, -32768, 0.0, 0}, {-32768, 32767, 0.0, 0},
        {-32768, -32768, 0.000133, 5e-7},  // 65536: no upper clamp
        {32392, -32393, -0.09998, 5e-6},   // 64785: above the red mark at -0.1 dB
        {32392, -32392, -0.1001, 5e-5},    // 64784: below it
        {16384, -16384, -6.0205, 5e-5},
        {1000, 1000, -30.31, 5e-3},  // both magnitudes count, not max - min
        {500, -500, -36.33, 5e-3}, {1, -1, -90.31, 5e-3},
        {1, 0, -96.0, 0},  // -96.33 floored
        {0, -1, -96.0, 0}, {0, 0, -96.0, 0},
        // Sums past 32 bits, the empty block's start pair among them: silence.
        {INT_MIN, INT_MAX, -96.0, 0}, {INT_MIN, INT_MIN, -96.0, 0}, {INT_MAX, INT_MAX, -96.0, 0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(PeakToPeakDecibel(c.max, c.min), c.level, c.tolerance) << c.max << ", " << c.min;
}

// A null out pointer is not written; no frames read nothing (the buffer may be null).
TEST(GetChannelPeaks, ScansOnlyTheChosenChannelAndTheCountedFrames)
{
    const short frames[] = {-1234, 7, -4000, 400, 30, -300, 32767, -32768};
    struct Case { int channel, count, max, min; };
    const Case cases[] = {
        {1, 1, -1234, -1234},  // one frame is both peaks
        {1, 2, -1234, -4000},  // a negative block keeps its signs
        {1, 3, 30, -4000},
        {2, 3, 400, -300},
        {1, 4, 32767, -4000},
        {2, 4, 400, -32768},
        {0, 3, 30, -4000},  // any channel but 2 reads the first sample
        {3, 3, 30, -4000}, {-1, 3, 30, -4000}, {INT_MAX, 3, 30, -4000},
        {1, 0, INT_MIN, INT_MAX},  // no frames: the start pair
        {2, -1, INT_MIN, INT_MAX}, {1, INT_MIN, INT_MIN, INT_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "channel " << c.channel << " count " << c.count);
        const short* data = c.count > 0 ? frames : nullptr;
        int max = 0, min = 0;
        GetChannelPeaks(data, c.channel, c.count, &max, nullptr);
        GetChannelPeaks(data, c.channel, c.count, nullptr, &min);
        GetChannelPeaks(data, c.channel, c.count, nullptr, nullptr);
        EXPECT_EQ(max, c.max);
        EXPECT_EQ(min, c.min);
        EXPECT_EQ(GetChannelDecibel(data, c.channel, c.count), PeakToPeakDecibel(c.max, c.min));
    }
}

}  // namespace
