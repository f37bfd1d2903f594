#include "fft_geometry.h"

#include <cmath>
#include <cstdio>

#include "channel_band.h"
#include "frame_geometry.h"

namespace {

const int kLargestSize = 256;
const int kLargestSizeAt96k = 512;
// As double arithmetic gives them: 1 - 0.9 is not 0.1.
constexpr double kBaselineFactor = 1 - 0.9;
constexpr double kHeightFactor = 2 / 0.9;
static_assert(kBaselineFactor == 0.09999999999999998 && kHeightFactor == 2.2222222222222223);
const int kLabelStep = 8000;
const int kChannelLabelX = 6;
const int kFrequencyLabelX = 22;
const int kLabelRise = 8;

int Component(double v)
{
    return TruncToInt(v + 0.5);
}

}  // namespace

int GetSpectrumSize(int countOfFrames, int samplingRate)
{
    const int largest = samplingRate == 96000 ? kLargestSizeAt96k : kLargestSize;
    for (int size = largest; size >= 1; size /= 2) {
        if (size <= countOfFrames)
            return size;
    }
    return 0;
}

double BinFrequency(int j, int N, int samplingRate)
{
    if (N <= 0)
        return 0.0;
    return static_cast<double>(j) / N * samplingRate;
}

int FrequencyToY(int clientHeight, int channel, double frequency, int samplingRate)
{
    ChannelBand band = {0, 0, 0, 0};
    ComputeChannelBand(clientHeight, channel, kChannelBandScale, &band);
    double y = band.bottom - static_cast<double>(band.centre - band.top) * kBaselineFactor;
    if (samplingRate > 0)
        y -= 2.0 * band.amplitude / samplingRate * frequency;
    return TruncToInt(y);
}

// Each ramp runs from 0 to 255 over its interval of decibels.
static_assert(255.0 / 15 == 17 && 255.0 / 16 == 15.9375 && 255.0 / 18 == 14.166666666666666 &&
              255.0 / 17 == 15);

RgbColour LevelToColour(double L)
{
    if (std::isnan(L) || L <= 0)
        return {0, 0, 0};
    if (L <= 15)
        return {0, 0, Component(255.0 / 15 * L)};
    if (L <= 33)
        return {0, 0, 255};
    if (L <= 49)
        return {0, Component(255.0 / 16 * (L - 33)), 255};
    if (L <= 67)
        return {0, 255, Component(255 - 255.0 / 18 * (L - 49))};
    if (L <= 84)
        return {Component(255.0 / 17 * (L - 67)), 255, 0};
    if (L <= 100)
        return {255, Component(255 - 255.0 / 16 * (L - 84)), 0};
    return {255, 0, 0};
}

int FftHeightLimit(int N)
{
    return TruncToInt(N * kHeightFactor);
}

int LimitFftWindowHeight(int N, int height)
{
    if (N <= 0)
        return height;
    const int limit = FftHeightLimit(N);
    return height > limit ? limit : height;
}

FftChannelLabel ComputeFftChannelLabel(int clientHeight, int channel)
{
    ChannelBand band = {0, 0, 0, 0};
    ComputeChannelBand(clientHeight, channel, kChannelBandScale, &band);
    return {kChannelLabelX, ClampToInt(static_cast<long long>(band.centre) - kLabelRise),
            channel == 1 ? "L" : "R", channel == 1 ? kBlue : kRed};
}

int FrequencyLabelCount(int clientHeight, int samplingRate)
{
    if (samplingRate <= 0)
        return 0;
    const long long rows = clientHeight / 2;
    const long long lines = samplingRate / kLabelStep + 1;  // f = 0 .. rate in steps
    const long long count = lines < rows ? lines : rows;
    return count > 0 ? static_cast<int>(count) : 0;
}

FrequencyGridLine ComputeFrequencyGridLine(int clientWidth, int clientHeight, int channel,
                                           int samplingRate, int index)
{
    FrequencyGridLine g;
    // index < FrequencyLabelCount, so f <= rate fits in an int.
    g.frequency = ClampToInt(static_cast<long long>(index) * kLabelStep);
    const int row = FrequencyToY(clientHeight, channel, g.frequency, samplingRate);
    g.line = {kScaleMargin, row, clientWidth, row};
    g.labelX = kFrequencyLabelX;
    g.labelY = ClampToInt(static_cast<long long>(row) - kLabelRise);
    if (g.frequency == 0) {
        std::snprintf(g.label, sizeof g.label, " %2d", 0);
    } else {
        std::snprintf(g.label, sizeof g.label, "%2dK", g.frequency / 1000);
    }
    return g;
}
