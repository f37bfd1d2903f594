#include "capture_geometry.h"

uint32_t ComputeNotificationSize(uint32_t avgBytesPerSec, uint32_t blockAlign)
{
    uint32_t n = avgBytesPerSec / 8;
    if (n < 1024)
        n = 1024;
    uint32_t size = n / 15;
    if (blockAlign != 0)
        size -= size % blockAlign;
    return size;
}

uint32_t ComputeCaptureBufferSize(uint32_t notificationSize)
{
    return notificationSize * kBlocksPerCaptureBuffer;
}

uint32_t FramesPerBlock(uint32_t notificationSize, uint32_t blockAlign)
{
    return blockAlign == 0 ? 0 : notificationSize / blockAlign;
}

uint32_t NotificationOffset(uint32_t notificationSize, int k)
{
    return notificationSize * static_cast<uint32_t>(k + 1) - 1;
}

uint32_t ReadableBytes(uint32_t readPosition, uint32_t readOffset, uint32_t bufferSize,
                       uint32_t notificationSize)
{
    if (notificationSize == 0)
        return 0;
    int64_t length = static_cast<int64_t>(readPosition) - static_cast<int64_t>(readOffset);
    if (length < 0)
        length += bufferSize;
    if (length <= 0)
        return 0;
    length -= length % notificationSize;
    return static_cast<uint32_t>(length);
}

bool ExceedsSampleBuffer(uint64_t lockedBytes, uint32_t bufferSize)
{
    return lockedBytes > bufferSize;
}

int32_t CutToOneBlock(int32_t countOfFrames, uint32_t framesPerBlock, bool skip)
{
    if (skip && countOfFrames >= 0 && static_cast<uint32_t>(countOfFrames) > framesPerBlock)
        return static_cast<int32_t>(framesPerBlock);
    return countOfFrames;
}

CounterReading AdvanceCounter(CounterState& state, uint32_t now)
{
    if (!state.started) {
        state.started = true;
        state.lastTick = now;
    }
    state.elapsedMilliseconds += static_cast<uint32_t>(now - state.lastTick);
    state.lastTick = now;
    CounterReading reading;
    reading.blocks = state.blockCounter;
    reading.seconds = static_cast<uint32_t>(state.elapsedMilliseconds / 1000);
    state.blockCounter += 1;
    return reading;
}

void ArmCaptureWatch(CaptureWatch& watch, uint32_t now)
{
    watch.armed = true;
    watch.since = now;
    watch.allowed = kFirstNotificationMilliseconds;
}

void DisarmCaptureWatch(CaptureWatch& watch)
{
    watch.armed = false;
}

void NoteCaptureNotification(CaptureWatch& watch, uint32_t now)
{
    watch.since = now;
    watch.allowed = kCaptureSilenceMilliseconds;
}

uint32_t CaptureWaitLimit(const CaptureWatch& watch, uint32_t now)
{
    if (!watch.armed)
        return kNoTimeLimit;
    const uint32_t silent = now - watch.since;
    return silent >= watch.allowed ? 0 : watch.allowed - silent;
}

const char* ChannelWord(uint32_t channels)
{
    return channels == 1 ? "Mono" : "Stereo";
}
