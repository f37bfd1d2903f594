// The arithmetic of the capture session: the size of a block, the circular
// capture buffer of 16 blocks, how many whole blocks a read takes, and the
// control dialog's counter. No platform headers: tested natively.
#pragma once

#include <cstdint>

// The capture buffer holds this many blocks, one notification position each.
const int kBlocksPerCaptureBuffer = 16;

// Bytes per block: n = avgBytesPerSec / 8, at least 1024; then n / 15 less its
// remainder modulo blockAlign. About 1/120 s of audio. A blockAlign of 0 (a
// zeroed format) leaves the remainder alone instead of dividing by zero.
uint32_t ComputeNotificationSize(uint32_t avgBytesPerSec, uint32_t blockAlign);

// 16 blocks. Never wraps: a block is at most 0xFFFFFFFF / 8 / 15 bytes.
uint32_t ComputeCaptureBufferSize(uint32_t notificationSize);

// Frames in one block; 0 for a blockAlign of 0.
uint32_t FramesPerBlock(uint32_t notificationSize, uint32_t blockAlign);

// Notification position k (0 ... 15): the last byte of block k.
uint32_t NotificationOffset(uint32_t notificationSize, int k);

// Bytes of whole blocks between the read offset and the hardware's read
// position: the difference, taken signed, plus the buffer size when negative,
// less its remainder modulo the notification size. 0 when no whole block is
// ready, or for a notification size of 0.
uint32_t ReadableBytes(uint32_t readPosition, uint32_t readOffset, uint32_t bufferSize,
                       uint32_t notificationSize);

// Whether the locked bytes would not fit the shared sample buffer, which has
// the capture buffer's size. Checked before anything is copied or counted.
bool ExceedsSampleBuffer(uint64_t lockedBytes, uint32_t bufferSize);

// The overload cut: with skip set, a count above one block becomes one block.
int32_t CutToOneBlock(int32_t countOfFrames, uint32_t framesPerBlock, bool skip);

// The counter of block steps and the wall-clock seconds since the first one.
// The seconds sum unsigned tick differences, so a wrap of the tick count is
// harmless, in 64 bits, so the sum never overflows; the block counter is
// unsigned. Both read as the signed 32-bit values would until those overflow
// (about 24.8 days of milliseconds, 207 days of blocks at 120 a second);
// after that they go on counting instead of turning negative.
struct CounterState {
    bool started;
    uint32_t lastTick;
    uint64_t elapsedMilliseconds;
    uint32_t blockCounter;
};

struct CounterReading {
    uint32_t blocks;
    uint32_t seconds;
};

// One block step at tick `now`: the first call takes `now` as its start. The
// reading is taken before the block counter moves on, so the first shows 0, 0.
CounterReading AdvanceCounter(CounterState& state, uint32_t now);

// The watch on a running capture. A device that goes away (unplugged, its
// sound server gone) need not fail a read: it may just stop signalling. The
// main loop therefore waits for the next notification no longer than the
// watch allows, and a capture silent for that long counts as lost.
//
// 500 ms is 60 block periods: four times the whole capture buffer (16 blocks,
// 133 ms), after which blocks are lost anyway, and far above the longest gap
// between block steps seen on a loaded machine (127 ms); short enough that
// the user sees the stop as the moment the device went. A start is given
// longer for its first notification, which can take about a second to come.
const uint32_t kCaptureSilenceMilliseconds = 500;
const uint32_t kFirstNotificationMilliseconds = 2500;
// What a wait without a limit is given (the platform's INFINITE).
const uint32_t kNoTimeLimit = 0xFFFFFFFFu;

struct CaptureWatch {
    bool armed;
    uint32_t since;  // tick of the start, or of the last notification
    uint32_t allowed;
};

// A start arms it; a stop disarms it; each notification moves it on.
void ArmCaptureWatch(CaptureWatch& watch, uint32_t now);
void DisarmCaptureWatch(CaptureWatch& watch);
void NoteCaptureNotification(CaptureWatch& watch, uint32_t now);
// Milliseconds the loop may wait at tick `now` before the capture counts as
// lost: 0 once it does, kNoTimeLimit while disarmed. Tick differences are
// unsigned, so a wrap of the tick count is harmless.
uint32_t CaptureWaitLimit(const CaptureWatch& watch, uint32_t now);

// "Mono" for one channel, otherwise "Stereo".
const char* ChannelWord(uint32_t channels);
