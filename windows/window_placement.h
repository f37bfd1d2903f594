// Where a window goes on the monitors: moved to a stored place, brought back
// onto a work area from a place on no monitor, and the rectangle to store at
// exit.
#pragma once
#include <windows.h>

// Moves the outer rectangle to (x, y); a width or height of 0 keeps the
// current one. A rectangle that lies on no monitor at all is moved onto the
// nearest monitor's work area instead. Repaints.
void PlaceWindow(HWND window, int x, int y, int width, int height);

// The outer rectangle to store for a window at exit, in screen coordinates.
// For a minimised window that is its restored rectangle, never the icon
// placement (-32000, -32000 on Windows).
bool GetRestoredWindowRect(HWND window, RECT* rect);
