// The frame shared by the four display windows: their handles and settings
// fields, visibility, the common width, each window's paint (what it draws
// with gathered once, its block and its scale drawn) and the redraw protocol
// through each window's back buffer. The windows are made in
// display_windows.h, placed in window_placement.h.
#pragma once
#include <windows.h>

#include "back_buffer.h"
#include "settings.h"
#include "shared_block.h"
#include "window_placement.h"

// Set when each window is created; valid until the process ends.
extern HWND g_hWaveWindow;
extern HWND g_hResurgeWindow;
extern HWND g_hDecibelWindow;
extern HWND g_hFFTWindow;

// The Settings fields that place, size and show one display window.
struct DisplayWindowFields {
    int* xPos;
    int* yPos;
    int* width;  // m_iCommonWindowXWidth, except for the X-Y window
    int* height;
    bool* shown;
};
extern const DisplayWindowFields kWaveWindowFields;
extern const DisplayWindowFields kResurgeWindowFields;
extern const DisplayWindowFields kDecibelWindowFields;
extern const DisplayWindowFields kFFTWindowFields;

// SW_SHOWNORMAL or SW_HIDE for each window from its shown flag.
void ApplyWindowVisibility();
// Gives the Wave, Decibel and FFT windows this outer width.
void SyncCommonWidth(int width);
// Same left, top and height, new outer width; nothing for the X-Y window.
void SetWindowWidth(HWND window, int width);

// What one paint draws with: the window and the buffer it draws into (its
// size is the client size), and what the block step left: whether a capture
// runs, the block, the sweep, the capture's rate and block size, the FFT
// window's scratch reals and the settings.
struct DisplayPaint {
    HWND window;
    BackBuffer* target;
    bool capturing;
    SharedBlock block;
    int sweepColumn;
    int sweepPosition;  // blocks since the start; the X-Y window blanks by it
    int samplingRate;
    int framesPerBlock;
    double* spectrumWork;  // null while stopped
    const Settings* settings;
};
DisplayPaint GatherDisplayPaint(HWND window, BackBuffer* buffer);

// Blanks the sweep column in the DC's background colour and draws the red
// cursor one column to its right, over the full client height.
void DrawSweepCursor(const DisplayPaint& p);

// The client columns x .. x + count - 1 over the full height of the buffer.
RECT BufferColumns(const BackBuffer& buffer, int x, int count);

// One display window as the frame sees it. While a capture runs, each paint
// draws the newest block (drawBlock returns the rectangle it changed), then
// the scale over it; otherwise only the scale. drawScale returns what it
// changed beyond the block's rectangle. The sweeping windows' scales are
// drawn again only where the block changed the buffer; the X-Y window's
// frame is drawn everywhere, every time.
struct DisplayWindowUnit {
    const DisplayWindowFields* fields;
    BackBuffer* buffer;
    int stockBrush;
    RECT (*drawBlock)(const DisplayPaint& p);
    RECT (*drawScale)(const DisplayPaint& p);
    bool scaleOverBlockOnly;
};

// Handlers of the messages the display windows share. Each returns what the
// window procedure returns.
LRESULT OnDisplayCreate(HWND window, const DisplayWindowUnit& unit);
// The start of every display window's WM_SIZE: nothing while minimised (the
// icon's rectangle is no size to keep); otherwise the buffer is made anew,
// blank, when the client size changed (a resize clears the history), and the
// settings keep the outer size, which *outer gets. False when there is
// nothing more to do.
bool TakeWindowSize(HWND window, WPARAM sizeType, const DisplayWindowUnit& unit, RECT* outer);
// The sweeping windows' WM_SIZE: the size taken, the common width made the
// same on all three. False as TakeWindowSize.
bool ResizeSweepWindow(HWND window, WPARAM sizeType, const DisplayWindowUnit& unit);
// A paint the system asks for shows the buffer; a blank buffer (after an
// erase request, a clear or a resize) gets the window's paint first.
LRESULT OnDisplayPaint(HWND window, const DisplayWindowUnit& unit);
// The block step's UM_NEWDATA: the paint into the buffer; what it changed
// (all of it after a clear or a resize) waits for PresentDisplayWindows.
LRESULT OnDisplayNewData(HWND window, const DisplayWindowUnit& unit);
// Copies what each shown window drew since the last call to its screen,
// through the DC taken at its first block and kept: the classes are
// CS_OWNDC (display_windows.h), so that DC stays the window's own, valid
// and clipped to it for the window's life, and no DC is made per block.
void PresentDisplayWindows();
// UM_CLEAR: the buffer and the client area filled with the class brush.
LRESULT OnDisplayClear(HWND window, const DisplayWindowUnit& unit);
// An erase request: the buffer is cleared, as the screen was.
LRESULT OnDisplayEraseBackground(HWND window, WPARAM wParam, LPARAM lParam,
                                 const DisplayWindowUnit& unit);

// Dispatch of the messages the display windows share: WM_CREATE, WM_SIZE,
// WM_PAINT, WM_ERASEBKGND, WM_CLOSE, WM_DESTROY, UM_NEWDATA, UM_CLEAR as the
// Wave and Decibel windows handle them; everything else to the default
// window procedure. The FFT and X-Y windows handle first what they do
// differently and pass the rest here.
LRESULT HandleDisplayWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   const DisplayWindowUnit& unit);
