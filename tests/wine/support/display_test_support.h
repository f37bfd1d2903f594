// What the display window suites share: the four real windows created once
// per process at a known layout, blocks painted from the shared sample
// buffer, and pixels read back.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "shell_state.h"
#include "settings.h"
#include "sweep.h"
#include "capture_session.h"
#include "display_frame.h"

// Outer x, y, width, height the windows are created at: Wave, X-Y, Decibel, FFT.
extern const int kDisplayTestLayout[4][4];

// The windows straight after CreateDisplayWindows, before ApplyWindowVisibility.
struct DisplayCreationRecord {
    bool created;
    bool visible[4];
    RECT rect[4];
};

// Creates the four windows once per process (defaults, then the layout; all
// shown but FFT), applies the flags and sets the icons.
const DisplayCreationRecord& EnsureDisplayWindows();
HWND DisplayWindow(int index);  // 0 Wave, 1 X-Y, 2 Decibel, 3 FFT

// Dispatches what is queued (the system's own repaints among it).
void PumpMessages();
void ShowForTest(bool* shownFlag);  // sets the flag and applies the flags
// Moves the window so its client area has this height (and width, if > 0).
void SetClientSize(HWND window, int clientWidth, int clientHeight);

RECT OuterRectOf(HWND window);
inline int Width(const RECT& r) { return r.right - r.left; }
inline int Height(const RECT& r) { return r.bottom - r.top; }

const COLORREF kWhitePixel = RGB(255, 255, 255), kBlackPixel = RGB(0, 0, 0);
const COLORREF kRedPixel = RGB(255, 0, 0), kBluePixel = RGB(0, 0, 255);
const COLORREF kGreenPixel = RGB(0, 255, 0);
COLORREF PixelAt(HWND window, int x, int y);
// Pixels of the colour in [left, right) x [top, bottom).
int CountColour(HWND window, int left, int top, int right, int bottom, COLORREF colour);

// Makes the frames (left, right) the shared sample buffer, with their count,
// a spectrum work buffer and the capturing flag. Kept until the next.
void InstallBlock(const std::vector<short>& frames, bool capturing = true);
// At this sweep position: installs the block, sends UM_NEWDATA, then clears
// the capturing flag.
void PaintBlock(HWND window, int position, const std::vector<short>& frames,
                bool capturing = true);
std::vector<short> ConstantFrames(int n, short left, short right);

// Sets m_iSamplingRate and rebuilds the capture format from it, as a stop does.
void SetCaptureRate(int rate);
std::string WindowText(HWND window);  // CP932, as the ANSI functions see it
