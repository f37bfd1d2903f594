// Block geometry of the capture buffer, the read length, the overload cut,
// the control dialog's counter and the sweep position.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "capture_geometry.h"
#include "settings.h"
#include "sweep.h"

TEST(Capture, BlockSizesOfTheRates)
{
    // 16-bit stereo: 4 bytes a frame. Bytes = (rate x 4 / 8, at least 1024) / 15,
    // less its remainder modulo 4; 2000 Hz is below the 1024-byte floor.
    const struct {
        uint32_t rate, bytes, frames, buffer;
    } rows[] = {
        {8000, 264, 66, 4224},     {44100, 1468, 367, 23488}, {48000, 1600, 400, 25600},
        {96000, 3200, 800, 51200}, {2000, 68, 17, 1088},
    };
    for (const auto& r : rows) {
        const uint32_t n = ComputeNotificationSize(r.rate * 4, 4);
        EXPECT_EQ(n, r.bytes) << r.rate;
        EXPECT_EQ(FramesPerBlock(n, 4), r.frames) << r.rate;
        EXPECT_EQ(ComputeCaptureBufferSize(n), r.buffer) << r.rate;
    }
    // Each notification sits on the last byte of its block.
    EXPECT_EQ(NotificationOffset(1600, 0), 1599u);
    EXPECT_EQ(NotificationOffset(1600, 15), 25599u);
}

TEST(Capture, ReadTakesWholeBlocksAndWraps)
{
    // Blocks of 1600 bytes in a buffer of 25600 (48000 Hz).
    const struct {
        uint32_t position, offset, bytes;
    } cases[] = {
        {1600, 0, 1600},     {3000, 0, 1600},   // whole blocks only
        {9600, 6400, 3200},                     // from a later offset
        {2400, 24000, 3200}, {0, 22400, 3200},  // wrapping past the end
        {4799, 4800, 24000},                    // position just behind: fifteen blocks
        {1599, 0, 0},        {4800, 4800, 0},   // nothing ready
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadableBytes(c.position, c.offset, 25600, 1600), c.bytes)
            << c.position << " " << c.offset;
    EXPECT_TRUE(ExceedsSampleBuffer(25601, 25600));
    EXPECT_FALSE(ExceedsSampleBuffer(25600, 25600));
}

TEST(Capture, OverloadCutOnlyWithSkip)
{
    EXPECT_EQ(CutToOneBlock(1200, 400, true), 400);
    EXPECT_EQ(CutToOneBlock(1200, 400, false), 1200);
}

TEST(Capture, CounterStartsAtZeroAndSumsAcrossTheTickWrap)
{
    CounterState state = {};
    CounterReading r = AdvanceCounter(state, 0xFFFFFC00u);  // 1024 ms before the wrap
    EXPECT_EQ(std::make_pair(r.blocks, r.seconds),
              std::make_pair(0u, 0u));  // the first is the start
    r = AdvanceCounter(state, 0x400u);  // 1024 ms after it
    EXPECT_EQ(std::make_pair(r.blocks, r.seconds), std::make_pair(1u, 2u));
}

TEST(Sweep, RunsOneToWidthLessFiftyAndWrapsByTheRemainder)
{
    const struct {
        int position, width, next;
    } cases[] = {
        {0, 400, 1},   {349, 400, 350},
        {350, 400, 1}, {250, 150, 51},  // width shrunk under the position: no reset to 1
        {7, 50, 1},    {7, 10, 1},      // no column right of the scale
    };
    for (const auto& c : cases)
        EXPECT_EQ(NextSweepPosition(c.position, c.width), c.next) << c.position << " " << c.width;
    // The step reads the common width; the column is the position + 50.
    g_Settings.m_iCommonWindowXWidth = 52;
    g_iSweepPosition = 0;
    for (int column : {51, 52, 51}) {
        AdvanceSweepPosition();
        EXPECT_EQ(GetSweepColumn(), column);
    }
}
