#include "level.h"

#include <cmath>
#include <cstdlib>

void GetChannelPeaks(const short* frames, int channel, int frameCount, int* maxOut, int* minOut)
{
    int max = kEmptyPeakMax;
    int min = kEmptyPeakMin;
    if (frameCount > 0) {
        const short* sample = frames + (channel == 2 ? 1 : 0);
        const short* const end = sample + 2 * static_cast<long long>(frameCount);
        for (; sample != end; sample += 2) {
            const int value = *sample;
            if (value <= min)
                min = value;
            if (value > max)
                max = value;
        }
    }
    *maxOut = max;
    *minOut = min;
}

double PeakToPeakDecibel(int max, int min)
{
    const long long sum =
        std::llabs(static_cast<long long>(max)) + std::llabs(static_cast<long long>(min));
    if (sum > 2147483647LL)
        return kLevelFloorDecibel;
    // Times the double nearest to 1/65535: a division by 65535 can round
    // differently in the last bit.
    const double kInverseFullSpan = 1.0 / 65535.0;
    const double level = 20.0 * std::log10(static_cast<double>(sum) * kInverseFullSpan);
    // Also catches NaN, and -infinity from a sum of 0.
    if (!(level >= kLevelFloorDecibel))
        return kLevelFloorDecibel;
    return level;
}

double GetChannelDecibel(const short* frames, int channel, int frameCount)
{
    int max = 0;
    int min = 0;
    GetChannelPeaks(frames, channel, frameCount, &max, &min);
    return PeakToPeakDecibel(max, min);
}
