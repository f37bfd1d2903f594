// What the FFT window draws: the transform size, where a bin lands, its
// colour, the window's height limit and the frequency scale.
#ifndef TAVREL_WINDOWS_FFT_GEOMETRY_H
#define TAVREL_WINDOWS_FFT_GEOMETRY_H

#include "display_math.h"

// Transform size: the largest power of two not above countOfFrames, capped at
// 256, or 512 when samplingRate is exactly 96000; 0 when there are no frames.
int GetSpectrumSize(int countOfFrames, int samplingRate);

// Frequency of bin j of an N-point transform: (j / N) x samplingRate in
// double. The scale runs to the sampling rate, not half of it. 0 when N <= 0.
double BinFrequency(int j, int N, int samplingRate);

// Client row of a frequency in the band of channel 1 or 2:
// bottom - (centre - top) x (1 - 0.9) - (2 x amplitude / rate) x f, truncated.
// A rate of 0 or below (no capture started yet, or a bad stored rate) has no
// frequency axis: every frequency then lands on the band's 0 Hz row. Another
// channel number gives an empty band at row 0.
int FrequencyToY(int clientHeight, int channel, double frequency, int samplingRate);

// Colour of a bin's level in decibels: black, blue, cyan, green, yellow, red
// at 0, 15, 49, 67, 84 and 100 dB; each component + 0.5, truncated. Intervals
// are open below and closed above. NaN is black.
RgbColour LevelToColour(double level);

// Outer-height limit while capturing: trunc(N x (2 / 0.9)), in double.
int FftHeightLimit(int N);
// The outer height to keep: height cut to the limit. With N <= 0 (no frames
// yet) no limit applies and the height is kept.
int LimitFftWindowHeight(int N, int height);

// The channel label "L" (blue) or "R" (red) at (6, band centre - 8).
struct FftChannelLabel {
    int x, y;
    const char* text;
    RgbColour colour;
};
FftChannelLabel ComputeFftChannelLabel(int clientHeight, int channel);

// Frequency grid lines of one band: f = 0, 8000, 16000, ... while f <= rate,
// but never more lines than a band has rows (half the client height). A rate
// of 0 or below gives none: the scale then shows only the axis and the
// channel labels.
int FrequencyLabelCount(int clientHeight, int samplingRate);

struct FrequencyGridLine {
    int frequency;       // index x 8000
    LineSegment line;    // black, from the margin to the client's right edge
    int labelX, labelY;  // (22, row - 8)
    char label[16];      // " %2d" of 0, else "%2dK" of frequency / 1000
};
// Line `index` (0 .. FrequencyLabelCount - 1) of channel 1 or 2.
FrequencyGridLine ComputeFrequencyGridLine(int clientWidth, int clientHeight, int channel,
                                           int samplingRate, int index);

#endif
