// The FFT window: a scrolling spectrogram, one column of bin levels per
// block, its height limited while capturing to the rows the bins can fill.
#pragma once
#include <windows.h>

#include "display_frame.h"

LRESULT CALLBACK FFTWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The cursor, then one pixel per bin of each channel's spectrum at the sweep
// column, through p.spectrumWork, which holds at least the transform size of
// doubles. Returns the columns it changed.
RECT DrawSpectrumColumn(const DisplayPaint& p);
// Axis, channel labels, frequency grid lines and labels at the capture's
// rate; returns an empty rectangle.
RECT DrawFrequencyScale(const DisplayPaint& p);
