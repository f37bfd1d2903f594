#include "capture_geometry.h"

#include <climits>
#include <cstdint>

#include <gtest/gtest.h>

namespace {

TEST(CaptureGeometry, MatchesTheTableOfBlockSizes)
{
    struct Row { uint32_t avgBytesPerSec, blockAlign, notificationSize, framesPerBlock, bufferSize; };
    // 16-bit stereo at 8000, 44100, 48000, 96000, then 2000, 1000 and 0 Hz:
    // below 2048 Hz the block is 1024 / 15 less its remainder.
    const Row rows[] = {
        {32000, 4, 264, 66, 4224},     {176400, 4, 1468, 367, 23488}, {192000, 4, 1600, 400, 25600},
        {384000, 4, 3200, 800, 51200}, {8000, 4, 68, 17, 1088},       {4000, 4, 68, 17, 1088},
        {0, 4, 68, 17, 1088},
        // The largest a stored rate gives (0xFFFFFFFF x 4 in 32 bits): 16 blocks
        // still fit, 0x1FFFFFFF / 15 = 35791394 less 2.
        {0xFFFFFFFCu, 4, 35791392, 8947848, 572662272},
        // A zeroed format (a failed GetFormat): nothing divides by zero.
        {0, 0, 68, 0, 1088},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.avgBytesPerSec);
        const uint32_t n = ComputeNotificationSize(row.avgBytesPerSec, row.blockAlign);
        EXPECT_EQ(n, row.notificationSize);
        EXPECT_EQ(FramesPerBlock(n, row.blockAlign), row.framesPerBlock);
        EXPECT_EQ(ComputeCaptureBufferSize(n), row.bufferSize);
    }
}

TEST(CaptureGeometry, ReadLengthTakesWholeBlocksBetweenOffsetAndPosition)
{
    struct Case { const char* what; uint32_t readPosition, readOffset, notificationSize, expected; };
    // Blocks of 1600 bytes in a buffer of 25600 (48000 Hz).
    const Case cases[] = {
        {"nothing captured yet", 0, 0, 1600, 0},
        {"less than a block", 1599, 0, 1600, 0},
        {"exactly one block", 1600, 0, 1600, 1600},
        {"one block and a part", 3000, 0, 1600, 1600},
        {"from a later offset", 9600, 6400, 1600, 3200},
        {"wrapping: two blocks and a part", 2400, 24000, 1600, 3200},
        {"wrapping: exactly to the start", 0, 22400, 1600, 3200},
        {"fifteen blocks, the most there can be", 25599, 0, 1600, 24000},
        {"position just behind the offset", 4799, 4800, 1600, 24000},
        {"no geometry yet", 1600, 0, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadableBytes(c.readPosition, c.readOffset, 25600, c.notificationSize), c.expected)
            << c.what;
}

// The first reading (0, 0) and the text are checked under Wine.
TEST(CaptureCounter, SumsTickDifferencesWithoutOverflow)
{
    // 1024 ms before a wrap of the tick count to 1024 ms after it.
    CounterState state = {};
    AdvanceCounter(state, 0xFFFFFC00u);
    EXPECT_EQ(AdvanceCounter(state, 0x400u).seconds, 2u);

    // The signed 32-bit numbers as written, up to their overflow (24.8 days of
    // milliseconds), then counting on instead of turning negative.
    state = {true, 0, uint64_t(INT32_MAX) - 1000, uint32_t(INT32_MAX)};
    CounterReading r = AdvanceCounter(state, 1000);
    EXPECT_EQ(r.seconds, uint32_t(INT32_MAX / 1000));
    EXPECT_EQ(r.blocks, uint32_t(INT32_MAX));
    r = AdvanceCounter(state, 3000);
    EXPECT_EQ(r.seconds, uint32_t((uint64_t(INT32_MAX) + 2000) / 1000));
    EXPECT_EQ(r.blocks, uint32_t(INT32_MAX) + 1u);
}

}  // namespace
