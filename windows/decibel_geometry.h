// What the Decibel window draws: the level traces, the decibel scale and the
// title text, and when the title changes.
#ifndef TAVREL_WINDOWS_DECIBEL_GEOMETRY_H
#define TAVREL_WINDOWS_DECIBEL_GEOMETRY_H

#include <cstddef>
#include <cstdint>

#include "display_math.h"

// Client row of a level in decibels for a client area H rows high: 0 dB at
// row margin, -96 dB at margin + span, span = trunc(H x 0.9),
// margin = (H - span) / 2. The magnitude of the level is used.
int DecibelToY(double level, int clientHeight);

// Grid step in decibels: 12 up to a client height of 300, 6 above.
int DecibelGridStep(int clientHeight);
const int kDecibelMaxGridLines = 17;

struct DecibelGridLine {
    int value;           // decibels, -96 .. 0
    LineSegment line;    // black, from the margin to the client's right edge
    int labelX, labelY;  // top-left corner of the label, 8 rows above the line
    char label[16];      // "%3d" of the value, or "[dB] 0" for 0 dB
};

// Axis and grid, in drawing order (-96 first).
struct DecibelScale {
    LineSegment axis;  // black, x = 50, from the 0 dB row to the -96 dB row
    int lineCount;
    DecibelGridLine lines[kDecibelMaxGridLines];
};
void ComputeDecibelScale(int clientWidth, int clientHeight, DecibelScale* scale);

// Where each channel's trace last ended and when the title last changed.
const int kDecibelTraceStartRow = 100;
struct DecibelTraceState {
    int previousLeftY = kDecibelTraceStartRow;
    int previousRightY = kDecibelTraceStartRow;
    std::uint32_t lastTitleTick = 0;  // tick count of the last title change
};

// The two segments of one block, drawn right (red) first, then left (blue),
// each from (x - 1, previous row) to (x, row of the level). Advances *state.
struct DecibelTraceStep {
    LineSegment right;
    LineSegment left;
};
DecibelTraceStep AdvanceDecibelTrace(DecibelTraceState* state, int sweepColumn, int clientHeight,
                                     double leftLevel, double rightLevel);

// Whether the title is due at tick count now: strictly more than 1000 ms since
// lastUpdate, the difference taken modulo 2^32.
bool DecibelTitleDue(std::uint32_t now, std::uint32_t lastUpdate);

// "有効デシベル - L: %5.1f[dB]  R: %5.1f[dB]" formatted like snprintf (and
// returning what snprintf returns); 64 bytes hold any level from -96 to +999.
const std::size_t kDecibelTitleSize = 64;
int FormatDecibelTitle(char* buf, std::size_t size, double left, double right);

#endif
