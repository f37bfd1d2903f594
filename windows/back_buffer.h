// A display window's picture in memory: a DIB section the size of the client
// area, selected into a memory DC. Blocks are drawn into it and only what
// changed is copied to the screen, so a block costs no paint cycle.
#pragma once
#include <windows.h>

#include <cstdint>

#include "display_math.h"
#include "gdi_draw.h"

struct BackBuffer {
    HDC dc;  // null when there is no buffer (no client area)
    HBITMAP bitmap;
    HGDIOBJ previousBitmap;  // the memory DC's own, selected back before freeing
    std::uint32_t* bits;     // top-down rows of 0x00RRGGBB
    int width, height;
    HBRUSH background;  // the class brush
    // Nothing drawn since the buffer was made or cleared: the next paint
    // draws the whole scale and shows the whole buffer.
    bool blank;
    // What was drawn since the screen was last brought up to date.
    RECT unshown;
    PenCache pens;
    // The clip of a scale redrawn over part of the buffer; made once and
    // kept with the pens, so no block makes a GDI object.
    HRGN clip;
};

// Makes the bitmap anew, filled with the brush, at the window's client size;
// the pens are kept. Leaves no bitmap for an empty client area.
void RemakeBackBuffer(BackBuffer* buffer, HWND window, HBRUSH background);
// A buffer of its own size, for drawing without a window.
bool MakeBackBuffer(BackBuffer* buffer, int width, int height, HBRUSH background);
// Everything the buffer holds, pens included.
void FreeBackBuffer(BackBuffer* buffer);
// Fills the buffer with its brush and marks it blank.
void ClearBackBuffer(BackBuffer* buffer);

// Copies the columns left .. right - 1, or a rectangle, of the buffer to the
// window's client area; parts outside the client area are left out.
void ShowBufferColumns(HWND window, const BackBuffer& buffer, int left, int right);
void ShowBufferRect(HWND window, const BackBuffer& buffer, const RECT& rect);

// Drawing limited to the rectangle until UnclipBuffer; clipping to the
// whole buffer, never to none, keeps the DC's own clip region from being
// made again at every block.
void ClipBuffer(BackBuffer* buffer, const RECT& rect);
void UnclipBuffer(BackBuffer* buffer);

// One pixel straight into the bits; nothing outside the buffer.
void PutBufferPixel(BackBuffer* buffer, int x, int y, RgbColour colour);
