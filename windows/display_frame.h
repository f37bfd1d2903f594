// The frame shared by the four display windows: classes, creation,
// placement, visibility, the common width, the redraw protocol and the
// drawing operations several windows use.
#pragma once
#include <windows.h>

#include "channel_band.h"
#include "display_math.h"

// Set when each window is created; valid until the process ends.
extern HWND g_hWaveWindow;
extern HWND g_hResurgeWindow;
extern HWND g_hDecibelWindow;
extern HWND g_hFFTWindow;

// The Settings fields that place, size and show one display window.
struct DisplayWindowFields {
    int*  xPos;
    int*  yPos;
    int*  width;   // m_iCommonWindowXWidth, except for the X-Y window
    int*  height;
    bool* shown;
};
extern const DisplayWindowFields kWaveWindowFields;
extern const DisplayWindowFields kResurgeWindowFields;
extern const DisplayWindowFields kDecibelWindowFields;
extern const DisplayWindowFields kFFTWindowFields;

// Class styles CS_HREDRAW | CS_VREDRAW, arrow cursor, no icon, no menu, the
// stock brush of the given index as background. 0 on failure.
ATOM RegisterDisplayClass(HINSTANCE instance, WNDPROC windowProc, const char* className,
                          int stockBrush);
// Caption, close box and sizing border; no owner, no menu. Shown with
// showCommand and updated when created. Null on failure.
HWND CreateDisplayWindow(HINSTANCE instance, const char* className, const char* title, int x,
                         int y, int width, int height, int showCommand);

// Registers the four classes and creates the four windows hidden, in the
// order Wave, X-Y, Decibel, FFT; each window places itself while it is
// created. False at the first failure (later classes are not registered).
// The caller then runs ApplyWindowVisibility and SetDisplayWindowIcons.
bool CreateDisplayWindows(HINSTANCE instance);
// Icons 107, 108, 110 and 111, each as the big and the small icon, loaded
// from the instance given to CreateDisplayWindows.
void SetDisplayWindowIcons();

// Moves the outer rectangle to (x, y); a width or height of 0 keeps the
// current one. Repaints.
void PlaceWindow(HWND window, int x, int y, int width, int height);
// Fills the whole client area with the class brush and leaves it valid.
void EraseDisplayWindow(HWND window);
// The band of channel 1 or 2 in the window's current client area; any other
// channel leaves *band untouched.
void GetChannelBand(HWND window, ChannelBand* band, int channel, double scale);

// One line with a pen of its own, deleted afterwards; the end point is left
// out by the platform.
void DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int penStyle,
              int penWidth);
inline COLORREF ToColorRef(RgbColour c) { return RGB(c.red, c.green, c.blue); }
inline void DrawSegment(HDC dc, const LineSegment& s, RgbColour colour, int penStyle = PS_SOLID)
{
    DrawLine(dc, s.x1, s.y1, s.x2, s.y2, ToColorRef(colour), penStyle, 1);
}
// Blanks the sweep column in the DC's background colour and draws the red
// cursor one column to its right, over the full client height.
void DrawSweepCursor(HWND window, HDC dc);

// SW_SHOWNORMAL or SW_HIDE for each window from its shown flag.
void ApplyWindowVisibility();
// Gives the Wave, Decibel and FFT windows this outer width.
void SyncCommonWidth(int width);
// Same left, top and height, new outer width; nothing for the X-Y window.
void SetWindowWidth(HWND window, int width);

// The outer rectangle to store for a window at exit, in screen coordinates.
// For a minimised window that is its restored rectangle, never the icon
// placement (-32000, -32000 on Windows).
bool GetRestoredWindowRect(HWND window, RECT* rect);

// Handlers of the messages all display windows share. Each returns what the
// window procedure returns.
LRESULT OnDisplayCreate(HWND window, const DisplayWindowFields& fields);
LRESULT OnSweepWindowSize(HWND window, WPARAM sizeType, const DisplayWindowFields& fields);
LRESULT OnDisplayClose(HWND window, const DisplayWindowFields& fields);
LRESULT OnDisplayDestroy(HWND window);
LRESULT OnDisplayNewData(HWND window);
LRESULT OnDisplayClear(HWND window);

// The paint protocol: the whole client area is invalidated without erase
// before BeginPaint, so the history on screen stays and the newest column
// can be drawn anywhere.
HDC  BeginDisplayPaint(HWND window, PAINTSTRUCT* paint);
void EndDisplayPaint(HWND window, PAINTSTRUCT* paint);

// Dispatch of the shared messages of the Wave and Decibel windows (the FFT
// window's base): WM_CREATE, WM_SIZE, WM_CLOSE, WM_DESTROY, UM_NEWDATA,
// UM_CLEAR; everything else to the default window procedure.
LRESULT HandleSweepWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                 const DisplayWindowFields& fields);

// Client size of a window; zero for an invalid handle.
struct ClientSize {
    int width;
    int height;
};
ClientSize GetClientSize(HWND window);
