// Arithmetic shared by the frame of the display windows: the scale margin,
// the sweep cursor and window placement.
#ifndef TAVREL_WINDOWS_FRAME_GEOMETRY_H
#define TAVREL_WINDOWS_FRAME_GEOMETRY_H

#include "display_math.h"
#include "sweep.h"  // kScaleMargin: the axis column, left of the sweep

// The black vertical axis at x = kScaleMargin over the full client height.
LineSegment ScaleAxis(int clientHeight);

// The two lines of the sweep cursor for the newest column x: `blank` in the
// background colour over column x, `cursor` in red over column x + 1; both run
// from row 0 to clientHeight. x + 1 saturates instead of overflowing.
struct SweepCursorLines {
    LineSegment blank;
    LineSegment cursor;
};
SweepCursorLines ComputeSweepCursor(int sweepColumn, int clientHeight);

// The outer extent a placement asks for: 0 keeps the current one.
int ResolvePlacementExtent(int requested, int current);

// Where a window goes whose outer rectangle lies on no monitor: moved, size
// kept, by the least distance that puts it inside the work area; a window
// wider or taller than the work area goes to its left or top edge.
PixelRect BringOntoWorkArea(const PixelRect& window, const PixelRect& workArea);

#endif
