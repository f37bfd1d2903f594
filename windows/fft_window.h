// The FFT window: a scrolling spectrogram, one column of bin levels per
// block, its height limited while capturing to the rows the bins can fill.
#pragma once
#include <windows.h>

#include "display_frame.h"

LRESULT CALLBACK FFTWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The cursor, then one pixel per bin of each channel's spectrum at the sweep
// column; work holds at least the transform size of doubles.
void DrawSpectrumColumn(const DisplayPaint& p, int samplingRate, double* work);
// Axis, channel labels, frequency grid lines and labels.
void DrawFrequencyScale(const DisplayPaint& p, int samplingRate);
