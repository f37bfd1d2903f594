// What the X-Y window draws: the plot of one channel against the other, its
// frame, and how its outer size is kept to a square client area.
#ifndef TAVREL_WINDOWS_RESURGE_GEOMETRY_H
#define TAVREL_WINDOWS_RESURGE_GEOMETRY_H

#include <cstddef>

#include "display_math.h"

const RgbColour kResurgeAxisColour = {0, 128, 255};  // axes and dotted box
const RgbColour kResurgeTraceColour = {0, 255, 0};
const RgbColour kResurgeLabelColour = {255, 255, 255};  // on black
const int kResurgeLargestPercentage = 100;

// Centre (cx, cy) and half-size s of the square plot box.
struct ResurgeGeometry {
    int cx, cy, s;
};
ResurgeGeometry ComputeResurgeGeometry(int clientWidth, int clientHeight);

// The sample shown on each axis: X is the left sample when xChannel is 1,
// else the right one; Y is the right sample when yChannel is 2, else the left.
int ResurgeXSample(int left, int right, int xChannel);
int ResurgeYSample(int left, int right, int yChannel);

// Client point of a frame; positive Y goes up. +32767 lands on the box edge.
struct ResurgePoint {
    int x, y;
};
ResurgePoint ResurgePlotPoint(const ResurgeGeometry& g, int xSample, int ySample);

// The share setting is usable when it is at most kResurgeLargestPercentage.
bool IsValidThinResurgeWave(int percentage);

// Number of frames to plot: percentage x countOfFrames formed in 64 bits,
// times 0.01, truncated; then, with skipIfOverload and a backlog of more than
// one block, divided by the number of whole blocks delivered. Never negative
// and never more than countOfFrames; 0 means draw nothing. A zero block size
// disables thinning.
int ResurgeFrameCount(int percentage, int countOfFrames, bool skipIfOverload,
                      unsigned framesPerBlock);

// Labels, axes, dotted box and the four blanking rectangles.
struct ResurgeFrame {
    int xLabelX, xLabelY;  // (client right - 12, cy)
    int yLabelX, yLabelY;  // (cx + 2, -1)
    const char* xLabel;    // "L" when xChannel is 1, else "R"
    const char* yLabel;    // "L" when yChannel is 1, else "R"
    LineSegment axes[2];   // horizontal, vertical; solid
    LineSegment box[4];    // top, bottom, left, right; dotted
    PixelRect blank[4];    // filled black on blanking paints
};
void ComputeResurgeFrame(int clientWidth, int clientHeight, int xChannel, int yChannel,
                         ResurgeFrame* frame);

// The inside of the box is blanked when the sweep position is a multiple of 5.
bool ResurgeBlankThisPaint(int sweepPosition);

// Square-client rule for a size with the current outer size and the caption
// height. Returns true with the outer size to move to, or false when no move
// is needed: the client is square (W == H - caption), the target equals the
// current size (the platform clamped it), or nestedMoves, the moves of this
// rule still under way (a move sizes the window again before it returns),
// has reached kResurgeMaxNestedMoves. Two moves always suffice when nothing
// is clamped.
const int kResurgeMaxNestedMoves = 2;
bool ResurgeSquareTarget(int outerWidth, int outerHeight, int captionHeight, int nestedMoves,
                         int* newWidth, int* newHeight);

#endif
