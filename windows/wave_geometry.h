// What the Wave window draws: one column per channel and block, and its scale.
#ifndef TAVREL_WINDOWS_WAVE_GEOMETRY_H
#define TAVREL_WINDOWS_WAVE_GEOMETRY_H

#include "channel_band.h"
#include "display_math.h"

// A peak whose magnitude exceeds this counts as clipped.
const int kWaveClipThreshold = 32111;
// Levels at or above this are drawn red.
const double kWaveOverLevel = -0.1;
// Colour of a column above the caution level.
const RgbColour kWaveCautionBlue = {0, 0, 200};

// Colour of a column: red at level >= -0.1 dB; otherwise blue (0, 0, 200) if
// level > cautionLevel (strictly); otherwise black.
RgbColour WaveColumnColour(double level, int cautionLevel);

// One channel's column at client x.
struct WaveColumn {
    LineSegment line;      // from (x, centre - up) to (x, centre + down)
    RgbColour colour;      // WaveColumnColour
    bool hasClipMark;      // a single clipped peak on a column that is not red
    LineSegment clipMark;  // red, from the clipped end of the line to the centre
};

// Computes the column of one channel from its band, the block's frame count,
// its peaks and its level (PeakToPeakDecibel of the peaks). Returns false,
// leaving *column untouched, when the block is empty (frameCount <= 0, or
// peakMax < peakMin as left by a scan of no frames): no data line is drawn
// then.
bool ComputeWaveColumn(const ChannelBand& band, int x, int frameCount, int peakMax, int peakMin,
                       double level, int cautionLevel, WaveColumn* column);

// The scale of one channel.
struct WaveScaleChannel {
    LineSegment zeroLine;       // blue, at the centre row, from the margin to the right edge
    LineSegment fullScaleUp;    // black, at centre - amplitude
    LineSegment fullScaleDown;  // black, at centre + amplitude
    int labelX, labelY;         // top-left corner of the label text
    const char* label;          // "L-ch" or "R-ch"
    RgbColour labelColour;      // blue for channel 1, red for channel 2
};

// The whole scale: the black axis, then each channel's lines and label.
struct WaveScale {
    LineSegment axis;
    WaveScaleChannel channel[2];  // [0] is channel 1, [1] channel 2
};

void ComputeWaveScale(int clientWidth, int clientHeight, WaveScale* scale);

#endif
