// The GDI side of drawing a display window: lines with pens made once per
// colour and style, text at a point, colours.
#pragma once
#include <windows.h>

#include "display_math.h"

inline COLORREF ToColorRef(RgbColour c)
{
    return RGB(c.red, c.green, c.blue);
}

// The pens one window draws with. A pen is made the first time a colour and
// style is asked for and kept until FreePens; a window needs at most a few.
struct PenCache {
    struct Entry {
        COLORREF colour;
        int style;
        HPEN pen;
    };
    static const int kCapacity = 8;
    Entry entries[kCapacity];
    int count;
};

// Null when the platform cannot make the pen.
HPEN CachedPen(PenCache* pens, COLORREF colour, int style);
void FreePens(PenCache* pens);

// One line of width 1 from (x1, y1) to (x2, y2); the platform leaves out the
// end point, so a line whose ends coincide draws nothing.
void DrawLine(HDC dc, PenCache* pens, int x1, int y1, int x2, int y2, COLORREF colour,
              int penStyle);
inline void DrawSegment(HDC dc, PenCache* pens, const LineSegment& s, RgbColour colour,
                        int penStyle = PS_SOLID)
{
    DrawLine(dc, pens, s.x1, s.y1, s.x2, s.y2, ToColorRef(colour), penStyle);
}

// Text with its top-left corner at (x, y), in the DC's font and colours.
void TextAt(HDC dc, int x, int y, const char* text);
