// Block geometry of the capture buffer, the read length, the overload cut,
// the control dialog's counter and the sweep position.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "capture_geometry.h"
#include "settings.h"
#include "sweep.h"

using Numbers = std::vector<uint32_t>;

TEST(Capture, BlockSizesOfTheRates)
{
    // 16-bit stereo: 4 bytes a frame. rate, bytes = (rate x 4 / 8, at least 1024) / 15 less its
    // remainder modulo 4, frames, buffer bytes; 2000 Hz is below the 1024-byte floor.
    const uint32_t rows[][4] = {
        {8000, 264, 66, 4224},     {44100, 1468, 367, 23488}, {48000, 1600, 400, 25600},
        {96000, 3200, 800, 51200}, {2000, 68, 17, 1088},
    };
    for (const auto& r : rows) {
        const uint32_t n = ComputeNotificationSize(r[0] * 4, 4);
        EXPECT_EQ((Numbers{n, FramesPerBlock(n, 4), ComputeCaptureBufferSize(n)}),
                  (Numbers{r[1], r[2], r[3]}));
    }
    // Each notification sits on the last byte of its block.
    EXPECT_EQ(NotificationOffset(1600, 0), 1599u);
    EXPECT_EQ(NotificationOffset(1600, 15), 25599u);
}

TEST(Capture, ReadTakesWholeBlocksAndWrapsThenTheOverloadCut)
{
    // Blocks of 1600 bytes in a buffer of 25600 (48000 Hz). Position, offset, bytes: whole
    // blocks only; from a later offset; wrapping past the end; the position just behind, fifteen
    // blocks; nothing ready.
    const uint32_t reads[][3] = {{1600, 0, 1600},     {3000, 0, 1600},  {9600, 6400, 3200},
                                 {2400, 24000, 3200}, {0, 22400, 3200}, {4799, 4800, 24000},
                                 {1599, 0, 0},        {4800, 4800, 0}};
    for (const auto& c : reads)
        EXPECT_EQ(ReadableBytes(c[0], c[1], 25600, 1600), c[2]) << c[0] << " " << c[1];
    EXPECT_TRUE(ExceedsSampleBuffer(25601, 25600));
    EXPECT_FALSE(ExceedsSampleBuffer(25600, 25600));
    // Three blocks piled up: cut to one with skip only.
    EXPECT_EQ(CutToOneBlock(1200, 400, true), 400);
    EXPECT_EQ(CutToOneBlock(1200, 400, false), 1200);
    // The counter: the first reading is the start; 1024 ms either side of the tick wrap sum.
    CounterState state = {};
    const CounterReading first = AdvanceCounter(state, 0xFFFFFC00u);
    const CounterReading second = AdvanceCounter(state, 0x400u);
    EXPECT_EQ((Numbers{first.blocks, first.seconds, second.blocks, second.seconds}),
              (Numbers{0, 0, 1, 2}));
}

TEST(Capture, TheWatchAllowsTheFirstNotificationLongerThenHalfASecond)
{
    // Started near the tick wrap: 2500 ms for the first notification, then 500 after each;
    // 0 once exceeded, no limit once stopped.
    CaptureWatch watch = {};
    EXPECT_EQ(CaptureWaitLimit(watch, 7), 0xFFFFFFFFu);
    ArmCaptureWatch(watch, 0xFFFFFF00u);
    EXPECT_EQ((Numbers{CaptureWaitLimit(watch, 0xFFFFFF00u), CaptureWaitLimit(watch, 0x700u),
                       CaptureWaitLimit(watch, 0x8C4u)}),
              (Numbers{2500, 452, 0}));
    NoteCaptureNotification(watch, 0x10u);
    EXPECT_EQ((Numbers{CaptureWaitLimit(watch, 0x10u), CaptureWaitLimit(watch, 0x200u),
                       CaptureWaitLimit(watch, 0x204u), CaptureWaitLimit(watch, 0x10u + 600)}),
              (Numbers{500, 4, 0, 0}));
    DisarmCaptureWatch(watch);
    EXPECT_EQ(CaptureWaitLimit(watch, 0x10u + 600), 0xFFFFFFFFu);
}

TEST(Sweep, RunsOneToWidthLessFiftyAndWrapsByTheRemainder)
{
    // position, width, next: a width shrunk under the position wraps by the remainder, not to
    // 1; at 50 or less no column is right of the scale.
    const int cases[][3] = {{0, 400, 1},    {349, 400, 350}, {350, 400, 1},
                            {250, 150, 51}, {7, 50, 1},      {7, 10, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(NextSweepPosition(c[0], c[1]), c[2]) << c[0] << " " << c[1];
    // The step reads the common width; the column is the position + 50.
    g_Settings.m_iCommonWindowXWidth = 52;
    g_iSweepPosition = 0;
    for (int column : {51, 52, 51}) {
        AdvanceSweepPosition();
        EXPECT_EQ(GetSweepColumn(), column);
    }
}
