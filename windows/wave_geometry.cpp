#include "wave_geometry.h"

#include <cstdlib>

#include "frame_geometry.h"

namespace {

// Label column and how far the label's top sits above the zero line.
const int kLabelX = 10;
const int kLabelRise = 8;

int RowOffset(int row, long long delta)
{
    return ClampToInt(row + delta);
}

}  // namespace

RgbColour WaveColumnColour(double level, int cautionLevel)
{
    if (level >= kWaveOverLevel)
        return kRed;
    if (level > static_cast<double>(cautionLevel))
        return kWaveCautionBlue;
    return kBlack;
}

bool ComputeWaveColumn(const ChannelBand& band, int x, int frameCount, int peakMax, int peakMin,
                       double level, int cautionLevel, WaveColumn* column)
{
    if (frameCount <= 0 || peakMax < peakMin)
        return false;
    // Magnitudes in 64 bits: |INT_MIN| does not fit in an int.
    const long long hi = std::llabs(static_cast<long long>(peakMax));
    const long long lo = std::llabs(static_cast<long long>(peakMin));
    const int up = TruncToInt(static_cast<double>(hi) / 32767.0 * band.amplitude);
    const int down = TruncToInt(static_cast<double>(lo) / 32768.0 * band.amplitude);
    const int yTop = RowOffset(band.centre, -static_cast<long long>(up));
    const int yBottom = RowOffset(band.centre, down);

    WaveColumn c;
    c.line = {x, yTop, x, yBottom};
    c.colour = WaveColumnColour(level, cautionLevel);
    c.hasClipMark = false;
    c.clipMark = {x, band.centre, x, band.centre};
    if (c.colour != kRed) {
        const bool hiClip = hi > kWaveClipThreshold;
        const bool loClip = lo > kWaveClipThreshold;
        if (hiClip && !loClip) {
            c.hasClipMark = true;
            c.clipMark = {x, yTop, x, band.centre};
        } else if (loClip && !hiClip) {
            c.hasClipMark = true;
            c.clipMark = {x, yBottom, x, band.centre};
        }
    }
    *column = c;
    return true;
}

void ComputeWaveScale(int clientWidth, int clientHeight, WaveScale* scale)
{
    scale->axis = ScaleAxis(clientHeight);
    for (int channel = 1; channel <= 2; ++channel) {
        ChannelBand band = {0, 0, 0, 0};
        ComputeChannelBand(clientHeight, channel, kChannelBandScale, &band);
        const int upRow = RowOffset(band.centre, -static_cast<long long>(band.amplitude));
        const int downRow = RowOffset(band.centre, band.amplitude);
        WaveScaleChannel& s = scale->channel[channel - 1];
        s.zeroLine = {kScaleMargin, band.centre, clientWidth, band.centre};
        s.fullScaleUp = {kScaleMargin, upRow, clientWidth, upRow};
        s.fullScaleDown = {kScaleMargin, downRow, clientWidth, downRow};
        s.labelX = kLabelX;
        s.labelY = RowOffset(band.centre, -kLabelRise);
        s.label = channel == 1 ? "L-ch" : "R-ch";
        s.labelColour = channel == 1 ? kBlue : kRed;
    }
}
