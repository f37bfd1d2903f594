#include "capture/capture_geometry.h"

#include <climits>
#include <cstdint>

#include <gtest/gtest.h>

namespace {

// The written table of block sizes for 16-bit stereo (nBlockAlign 4).
struct GeometryRow {
    uint32_t rate;
    uint32_t notificationSize;
    uint32_t framesPerBlock;
    uint32_t bufferSize;
    uint32_t framesInBuffer;
};

const GeometryRow kRows[] = {
    {8000, 264, 66, 4224, 1056},
    {44100, 1468, 367, 23488, 5872},
    {48000, 1600, 400, 25600, 6400},
    {96000, 3200, 800, 51200, 12800},
    // Below 2048 Hz, nAvgBytesPerSec / 8 is under 1024: n = 1024 -> 68 bytes.
    {2047, 68, 17, 1088, 272},
    {1000, 68, 17, 1088, 272},
    {0, 68, 17, 1088, 272},
};

TEST(CaptureGeometry, MatchesTheTableOfBlockSizes)
{
    for (const GeometryRow& row : kRows) {
        SCOPED_TRACE(row.rate);
        const uint32_t n = ComputeNotificationSize(row.rate * 4, 4);
        EXPECT_EQ(n, row.notificationSize);
        EXPECT_EQ(FramesPerBlock(n, 4), row.framesPerBlock);
        EXPECT_EQ(ComputeCaptureBufferSize(n), row.bufferSize);
        EXPECT_EQ(ComputeCaptureBufferSize(n) / 4, row.framesInBuffer);
    }
}

TEST(CaptureGeometry, EveryOfferedRateGivesWholeFramesOfAbout120thSecond)
{
    const uint32_t rates[] = {8000, 16000, 24000, 32000, 48000, 96000, 11025, 22050, 33075, 44100};
    for (uint32_t rate : rates) {
        SCOPED_TRACE(rate);
        const uint32_t n = ComputeNotificationSize(rate * 4, 4);
        EXPECT_EQ(n % 4, 0u);
        // rate * 4 / 8 / 15 bytes = rate / 120 frames, less up to one frame.
        EXPECT_LE(FramesPerBlock(n, 4), rate / 120);
        EXPECT_GE(FramesPerBlock(n, 4) + 1, rate / 120);
    }
}

TEST(CaptureGeometry, ExtremeRatesNeitherWrapNorDivideByZero)
{
    // The largest nAvgBytesPerSec a stored rate can give (unsigned x 4 wraps
    // to at most 0xFFFFFFFC); 16 blocks of it still fit 32 bits.
    const uint32_t n = ComputeNotificationSize(0xFFFFFFFCu, 4);
    EXPECT_EQ(n, 0x1FFFFFFFu / 15 - (0x1FFFFFFFu / 15) % 4);
    EXPECT_EQ(ComputeCaptureBufferSize(n), 16 * n);
    EXPECT_GT(ComputeCaptureBufferSize(n), n);
    // A zeroed format: nothing divides by zero.
    EXPECT_EQ(ComputeNotificationSize(0, 0), 1024u / 15);
    EXPECT_EQ(FramesPerBlock(68, 0), 0u);
}

TEST(CaptureGeometry, NotificationOffsetsAreTheLastByteOfEachBlock)
{
    EXPECT_EQ(NotificationOffset(1600, 0), 1599u);
    EXPECT_EQ(NotificationOffset(1600, 1), 3199u);
    EXPECT_EQ(NotificationOffset(1600, 15), 25599u);
    EXPECT_EQ(NotificationOffset(264, 15), 4223u);
}

// Read lengths at 48000 Hz: blocks of 1600 bytes in a buffer of 25600.
struct ReadCase {
    const char* what;
    uint32_t readPosition;
    uint32_t readOffset;
    uint32_t expected;
};

const ReadCase kReadCases[] = {
    {"nothing captured yet", 0, 0, 0},
    {"less than a block", 1599, 0, 0},
    {"exactly one block", 1600, 0, 1600},
    {"one block and a part", 3000, 0, 1600},
    {"three blocks of backlog", 4800 + 17, 0, 4800},
    {"from a later offset", 9600, 6400, 3200},
    {"wrapping: two blocks and a part", 2400, 24000, 3200},
    {"wrapping: exactly to the start", 0, 22400, 3200},
    {"wrapping: one block past the start", 1600, 24000, 3200},
    {"fifteen blocks, the most there can be", 25599, 0, 24000},
    {"position just behind the offset: fifteen blocks", 4799, 4800, 24000},
};

TEST(CaptureGeometry, ReadLengthTakesWholeBlocksBetweenOffsetAndPosition)
{
    for (const ReadCase& c : kReadCases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ReadableBytes(c.readPosition, c.readOffset, 25600, 1600), c.expected);
    }
}

TEST(CaptureGeometry, ReadLengthWithoutGeometryIsZero)
{
    EXPECT_EQ(ReadableBytes(1600, 0, 0, 0), 0u);
}

TEST(CaptureGeometry, ReadLengthNeverExceedsFifteenBlocks)
{
    for (uint32_t offset = 0; offset < 25600; offset += 1600)
        for (uint32_t position = 0; position < 25600; position += 37) {
            const uint32_t length = ReadableBytes(position, offset, 25600, 1600);
            ASSERT_EQ(length % 1600, 0u);
            ASSERT_LE(length, 25600u - 1600u);
        }
}

TEST(CaptureGeometry, BoundGuardRefusesMoreThanTheSampleBuffer)
{
    EXPECT_FALSE(ExceedsSampleBuffer(25600, 25600));
    EXPECT_TRUE(ExceedsSampleBuffer(25601, 25600));
    EXPECT_TRUE(ExceedsSampleBuffer(0x1FFFFFFFEull, 25600));
    EXPECT_FALSE(ExceedsSampleBuffer(0, 0));
}

TEST(CaptureGeometry, OverloadCutKeepsOnlyTheOldestBlock)
{
    EXPECT_EQ(CutToOneBlock(1200, 400, true), 400);
    EXPECT_EQ(CutToOneBlock(1200, 400, false), 1200);
    EXPECT_EQ(CutToOneBlock(400, 400, true), 400);
    EXPECT_EQ(CutToOneBlock(0, 400, true), 0);
    EXPECT_EQ(CutToOneBlock(6000, 400, true), 400);
}

TEST(CaptureCounter, FirstStepShowsZeroAndZero)
{
    CounterState state = {};
    const CounterReading first = AdvanceCounter(state, 123456);
    EXPECT_EQ(first.blocks, 0u);
    EXPECT_EQ(first.seconds, 0u);
    const CounterReading second = AdvanceCounter(state, 123456 + 999);
    EXPECT_EQ(second.blocks, 1u);
    EXPECT_EQ(second.seconds, 0u);
    const CounterReading third = AdvanceCounter(state, 123456 + 1000);
    EXPECT_EQ(third.blocks, 2u);
    EXPECT_EQ(third.seconds, 1u);
}

TEST(CaptureCounter, AWrapOfTheTickCountAddsOnlyTheTimeThatPassed)
{
    CounterState state = {};
    AdvanceCounter(state, 0xFFFFFC00u);            // 1024 ms before the wrap
    const CounterReading r = AdvanceCounter(state, 0x00000400u);  // 1024 ms after
    EXPECT_EQ(state.elapsedMilliseconds, 2048u);
    EXPECT_EQ(r.seconds, 2u);
}

TEST(CaptureCounter, ShowsTheSignedNumbersUpToTheirOverflowAndGoesOnAfter)
{
    // Just before 2^31 ms (24.8 days) the signed sum would still be right.
    CounterState state = {};
    state.started = true;
    state.lastTick = 0;
    state.elapsedMilliseconds = static_cast<uint64_t>(INT32_MAX) - 1000;
    state.blockCounter = static_cast<uint32_t>(INT32_MAX);
    CounterReading r = AdvanceCounter(state, 1000);
    EXPECT_EQ(r.seconds, static_cast<uint32_t>(INT32_MAX / 1000));
    EXPECT_EQ(r.blocks, static_cast<uint32_t>(INT32_MAX));
    // Past it, where a signed 32-bit sum would turn negative, it goes on.
    r = AdvanceCounter(state, 3000);
    EXPECT_EQ(state.elapsedMilliseconds, static_cast<uint64_t>(INT32_MAX) + 2000);
    EXPECT_EQ(r.seconds, static_cast<uint32_t>((static_cast<uint64_t>(INT32_MAX) + 2000) / 1000));
    EXPECT_EQ(r.blocks, static_cast<uint32_t>(INT32_MAX) + 1u);
}

TEST(CaptureCounter, ManyTickWrapsStillSumWithoutOverflow)
{
    // Fifty days in steps of 14.4 minutes, the tick count wrapping on the way
    // many times: the seconds keep rising past the signed limit.
    CounterState state = {};
    uint32_t tick = 0;
    AdvanceCounter(state, tick);
    uint32_t lastSeconds = 0;
    for (int step = 0; step < 5000; ++step) {
        tick += 864000;  // 14.4 minutes
        const CounterReading r = AdvanceCounter(state, tick);
        ASSERT_GE(r.seconds, lastSeconds);
        lastSeconds = r.seconds;
    }
    EXPECT_EQ(state.elapsedMilliseconds, 5000ull * 864000);
    EXPECT_EQ(lastSeconds, 5000u * 864u);
}

TEST(CaptureFormatText, ChannelWord)
{
    EXPECT_STREQ(ChannelWord(1), "Mono");
    EXPECT_STREQ(ChannelWord(2), "Stereo");
    EXPECT_STREQ(ChannelWord(0), "Stereo");
}

}  // namespace
