// The Decibel window: a sweeping strip chart of each channel's level, with
// the current levels in its title about once a second.
#pragma once
#include <windows.h>

#include "decibel_geometry.h"
#include "display_frame.h"

LRESULT CALLBACK DecibelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

struct DecibelLevels {
    double left, right;
};
// The cursor and the newest segment of both traces, from where *trace says
// each ended; moves *trace on. Returns the block's levels.
DecibelLevels DrawDecibelTrace(const DisplayPaint& p, DecibelTraceState* trace);
// Axis, grid lines and labels; returns an empty rectangle.
RECT DrawDecibelScale(const DisplayPaint& p);
// Writes both levels into the title when more than 1000 ms have passed since
// the last time it did.
void UpdateDecibelTitle(HWND window, double leftLevel, double rightLevel);
