#include "channel_band.h"

#include "display_math.h"

void ComputeChannelBand(int clientHeight, int channel, double scale, ChannelBand* band)
{
    if (band == nullptr || (channel != 1 && channel != 2))
        return;
    // half + half and half / 2 + half cannot leave the int range.
    const int half = clientHeight / 2;
    const int offset = channel == 1 ? 0 : half;
    band->top = offset;
    band->bottom = half + offset;
    band->centre = half / 2 + offset;
    band->amplitude = TruncToInt(half * scale * 0.5);
}
