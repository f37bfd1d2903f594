// The Wave window: a sweeping strip chart of each block's peaks.
#pragma once
#include <windows.h>

#include "display_frame.h"

LRESULT CALLBACK WaveWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The block's column per channel at the sweep column, after the cursor.
void DrawWaveColumn(const DisplayPaint& p, int cautionLevel);
// Axis, zero lines, full-scale lines and labels.
void DrawWaveScale(const DisplayPaint& p);
