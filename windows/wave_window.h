// The Wave window: a sweeping strip chart of each block's peaks.
#pragma once
#include <windows.h>

LRESULT CALLBACK WaveWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The newest block's column per channel at the sweep column; only while
// capturing.
void DrawWaveColumn(HWND window, HDC dc);
// Axis, zero lines, full-scale lines and labels; on every paint.
void DrawWaveScale(HWND window, HDC dc);
