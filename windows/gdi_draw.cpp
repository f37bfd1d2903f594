#include "gdi_draw.h"

#include <cstring>

HPEN CachedPen(PenCache* pens, COLORREF colour, int style)
{
    for (int i = 0; i < pens->count; ++i)
        if (pens->entries[i].colour == colour && pens->entries[i].style == style)
            return pens->entries[i].pen;
    if (pens->count == PenCache::kCapacity)
        return nullptr;
    HPEN pen = CreatePen(style, 1, colour);
    if (pen)
        pens->entries[pens->count++] = {colour, style, pen};
    return pen;
}

void FreePens(PenCache* pens)
{
    for (int i = 0; i < pens->count; ++i)
        DeleteObject(pens->entries[i].pen);
    pens->count = 0;
}

void DrawLine(HDC dc, PenCache* pens, int x1, int y1, int x2, int y2, COLORREF colour, int penStyle)
{
    HPEN pen = CachedPen(pens, colour, penStyle);
    if (!pen)
        return;
    HGDIOBJ previous = SelectObject(dc, pen);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    SelectObject(dc, previous);
}

void TextAt(HDC dc, int x, int y, const char* text)
{
    TextOutA(dc, x, y, text, static_cast<int>(std::strlen(text)));
}
