// The FFT window: a scrolling spectrogram, one column of bin levels per
// block, its height limited while capturing to the rows the bins can fill.
#pragma once
#include <windows.h>

LRESULT CALLBACK FFTWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// One pixel per bin of each channel's spectrum at the sweep column; only
// while capturing.
void DrawSpectrumColumn(HWND window, HDC dc);
// Axis, channel labels, frequency grid lines and labels; on every paint.
void DrawFrequencyScale(HWND window, HDC dc);
