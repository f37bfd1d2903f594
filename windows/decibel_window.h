// The Decibel window: a sweeping strip chart of each channel's level, with
// the current levels in its title about once a second.
#pragma once
#include <windows.h>

LRESULT CALLBACK DecibelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The newest segment of both traces and, when due, the title; only while
// capturing.
void DrawDecibelTrace(HWND window, HDC dc);
// Axis, grid lines and labels; on every paint.
void DrawDecibelScale(HWND window, HDC dc);
// Writes both levels into the title when more than 1000 ms have passed since
// the last time it did.
void UpdateDecibelTitle(HWND window, double leftLevel, double rightLevel);
