#include "back_buffer.h"

// The bitmap and its DC; the pens stay, they do not depend on the size.
static void FreeBitmap(BackBuffer* buffer)
{
    if (buffer->dc) {
        SelectObject(buffer->dc, buffer->previousBitmap);
        DeleteDC(buffer->dc);
    }
    if (buffer->bitmap)
        DeleteObject(buffer->bitmap);
    buffer->dc = nullptr;
    buffer->bitmap = nullptr;
    buffer->previousBitmap = nullptr;
    buffer->bits = nullptr;
    buffer->width = buffer->height = 0;
    SetRectEmpty(&buffer->unshown);
}

void FreeBackBuffer(BackBuffer* buffer)
{
    FreeBitmap(buffer);
    FreePens(&buffer->pens);
    if (buffer->clip)
        DeleteObject(buffer->clip);
    buffer->clip = nullptr;
}

bool MakeBackBuffer(BackBuffer* buffer, int width, int height, HBRUSH background)
{
    FreeBitmap(buffer);
    buffer->background = background;
    buffer->blank = true;
    if (width <= 0 || height <= 0)
        return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down: row y starts at bits + y * width
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = bitmap ? CreateCompatibleDC(nullptr) : nullptr;
    if (!dc) {
        if (bitmap)
            DeleteObject(bitmap);
        return false;
    }
    buffer->dc = dc;
    buffer->bitmap = bitmap;
    buffer->previousBitmap = SelectObject(dc, bitmap);
    buffer->bits = static_cast<std::uint32_t*>(bits);
    buffer->width = width;
    buffer->height = height;
    ClearBackBuffer(buffer);
    return true;
}

void RemakeBackBuffer(BackBuffer* buffer, HWND window, HBRUSH background)
{
    RECT client = {};
    GetClientRect(window, &client);
    MakeBackBuffer(buffer, client.right, client.bottom, background);
}

void ClearBackBuffer(BackBuffer* buffer)
{
    buffer->blank = true;
    if (!buffer->dc)
        return;
    const RECT all = {0, 0, buffer->width, buffer->height};
    FillRect(buffer->dc, &all, buffer->background);
}

void ShowBufferRect(HWND window, const BackBuffer& buffer, const RECT& rect)
{
    RECT r = rect;
    const RECT all = {0, 0, buffer.width, buffer.height};
    if (!buffer.dc || !IntersectRect(&r, &r, &all))
        return;
    HDC dc = GetDC(window);
    if (!dc)
        return;
    BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, buffer.dc, r.left, r.top,
           SRCCOPY);
    ReleaseDC(window, dc);
}

void ShowBufferColumns(HWND window, const BackBuffer& buffer, int left, int right)
{
    const RECT columns = {left, 0, right, buffer.height};
    ShowBufferRect(window, buffer, columns);
}

void ClipBuffer(BackBuffer* buffer, const RECT& rect)
{
    if (!buffer->dc)
        return;
    if (!buffer->clip)
        buffer->clip = CreateRectRgn(0, 0, 0, 0);
    if (buffer->clip && SetRectRgn(buffer->clip, rect.left, rect.top, rect.right, rect.bottom))
        SelectClipRgn(buffer->dc, buffer->clip);
}

void UnclipBuffer(BackBuffer* buffer)
{
    ClipBuffer(buffer, {0, 0, buffer->width, buffer->height});
}

void PutBufferPixel(BackBuffer* buffer, int x, int y, RgbColour c)
{
    if (!buffer->bits || x < 0 || y < 0 || x >= buffer->width || y >= buffer->height)
        return;
    buffer->bits[static_cast<long>(y) * buffer->width + x] =
        static_cast<std::uint32_t>(c.red) << 16 | static_cast<std::uint32_t>(c.green) << 8 |
        static_cast<std::uint32_t>(c.blue);
}
