// The four display windows made: their classes registered and the windows
// created, placed, shown and given their icons. Above the frame and the
// four windows, which it includes.
#pragma once
#include <windows.h>

// Class styles CS_HREDRAW | CS_VREDRAW | CS_OWNDC, arrow cursor, no icon, no
// menu, the stock brush of the given index as background. 0 on failure. The
// back buffer depends on CS_OWNDC: every block copies its changed columns to
// the screen through GetDC, which then hands out the window's own DC instead
// of making one per block.
ATOM RegisterDisplayClass(HINSTANCE instance, WNDPROC windowProc, const char* className,
                          int stockBrush);
// Caption, close box and sizing border; no owner, no menu. Shown with
// showCommand and updated when created. Null on failure.
HWND CreateDisplayWindow(HINSTANCE instance, const char* className, const char* title, int x, int y,
                         int width, int height, int showCommand);

// Registers the four classes and creates the four windows hidden, in the
// order Wave, X-Y, Decibel, FFT; each places itself while it is created.
// Then shows those whose flag is set and gives each its icons. False at the
// first failure (later classes are not registered).
bool CreateDisplayWindows(HINSTANCE instance);

// The icon resource iconId as the window's big and small icon.
void SetWindowIcons(HINSTANCE instance, HWND window, int iconId);
