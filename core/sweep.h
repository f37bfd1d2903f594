// The sweep position: the per-block counter that says at which client column
// the Wave, Decibel and FFT windows draw the newest block.
#pragma once

// The 50 pixels left of the sweep column hold each window's scale.
const int kScaleMargin = 50;

extern int g_iSweepPosition;

// One step from position p for the common outer width W: (p mod (W - 50)) + 1.
// A width of 50 or less leaves no column right of the scale; the position then
// stays on the first one (1) instead of dividing by zero or running away.
int NextSweepPosition(int position, int commonWidth);

void AdvanceSweepPosition();
int GetSweepColumn();
