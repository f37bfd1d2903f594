// The X-Y window: one channel plotted against the other, with a square
// client area of its own size.
#pragma once
#include <windows.h>

LRESULT CALLBACK ResurgeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The green trace of the current block; only while capturing. A share
// setting above 100 stops the process here (message, then exit code 0).
void DrawResurgePlot(HWND window, HDC dc);
// Labels, axes, dotted plot box, and the blanking of the box every fifth
// sweep position; on every paint.
void DrawResurgeFrame(HWND window, HDC dc);
