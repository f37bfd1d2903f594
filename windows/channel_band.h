// Layout of the two channel bands of a display window's client area.
#ifndef TAVREL_WINDOWS_CHANNEL_BAND_H
#define TAVREL_WINDOWS_CHANNEL_BAND_H

// The horizontal band of the client area given to one channel, in client rows.
struct ChannelBand {
    int top;        // first row of the band
    int centre;     // row of the zero line
    int bottom;     // row where the band ends (the next band's top)
    int amplitude;  // rows from the centre to the full-scale line
};

// Scale every window passes.
const double kChannelBandScale = 0.9;

// Fills *band for channel 1 (upper half, left) or 2 (lower half, right) of a
// client area clientHeight rows high. For any other channel, or a null band,
// nothing is written.
void ComputeChannelBand(int clientHeight, int channel, double scale, ChannelBand* band);

#endif
