// The Wave window: a sweeping strip chart of each block's peaks.
#pragma once
#include <windows.h>

#include "display_frame.h"

LRESULT CALLBACK WaveWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The block's column per channel at the sweep column, after the cursor, in
// the colours of the caution level setting. Returns the columns it changed.
RECT DrawWaveColumn(const DisplayPaint& p);
// Axis, zero lines, full-scale lines and labels; returns an empty rectangle.
RECT DrawWaveScale(const DisplayPaint& p);
