#include "display_frame.h"

#include "capture_session.h"
#include "frame_geometry.h"
#include "settings.h"
#include "shell_state.h"
#include "sweep.h"

HWND g_hWaveWindow = nullptr;
HWND g_hResurgeWindow = nullptr;
HWND g_hDecibelWindow = nullptr;
HWND g_hFFTWindow = nullptr;

const DisplayWindowFields kWaveWindowFields = {
    &g_Settings.m_WaveWindowXPos, &g_Settings.m_WaveWindowYPos, &g_Settings.m_iCommonWindowXWidth,
    &g_Settings.m_WaveWindowYHeight, &g_Settings.m_bIsShowWaveWindow};
const DisplayWindowFields kResurgeWindowFields = {
    &g_Settings.m_ResurgeWindowXPos, &g_Settings.m_ResurgeWindowYPos,
    &g_Settings.m_ResurgeWindowXWidth, &g_Settings.m_ResurgeWindowYHeight,
    &g_Settings.m_bIsShowResurgeWindow};
const DisplayWindowFields kDecibelWindowFields = {
    &g_Settings.m_DecibelWindowXPos, &g_Settings.m_DecibelWindowYPos,
    &g_Settings.m_iCommonWindowXWidth, &g_Settings.m_DecibelWindowYHeight,
    &g_Settings.m_bIsShowDecibelWindow};
const DisplayWindowFields kFFTWindowFields = {
    &g_Settings.m_FFTWindowXPos, &g_Settings.m_FFTWindowYPos, &g_Settings.m_iCommonWindowXWidth,
    &g_Settings.m_FFTWindowYHeight, &g_Settings.m_bIsShowFFTWindow};

namespace {

// How deep width synchronisation has nested. The chain ends by itself after
// one round (each window is moved to the width it already has); the bound
// keeps a platform that clamps windows differently from ping-ponging.
int s_iWidthSyncDepth = 0;
const int kMaxWidthSyncDepth = 4;

// The buffer follows the client size; it is made lazily too, since a window
// created at its final size may see no WM_SIZE before its first paint.
void EnsureBuffer(HWND window, const DisplayWindowUnit& unit)
{
    RECT client = {};
    GetClientRect(window, &client);
    if (unit.buffer->dc && unit.buffer->width == client.right &&
        unit.buffer->height == client.bottom)
        return;
    RemakeBackBuffer(unit.buffer, window, static_cast<HBRUSH>(GetStockObject(unit.stockBrush)));
}

// The windows that draw blocks, with their own DC (CS_OWNDC), taken once for
// the window's life.
struct PresentedWindow {
    HWND window;
    HDC dc;
    const DisplayWindowUnit* unit;
};
PresentedWindow s_presented[4];
int s_presentedCount = 0;

void RememberPresentedWindow(HWND window, const DisplayWindowUnit& unit)
{
    for (int i = 0; i < s_presentedCount; ++i)
        if (s_presented[i].window == window)
            return;
    HDC dc = GetDC(window);
    if (dc && s_presentedCount < 4)
        s_presented[s_presentedCount++] = {window, dc, &unit};
}

// The window's paint into its buffer (see DisplayWindowUnit). Returns the
// rectangle it changed (empty when nothing on screen changes).
RECT PaintDisplayWindow(HWND window, const DisplayWindowUnit& unit)
{
    const DisplayPaint p = GatherDisplayPaint(window, unit.buffer);
    if (!p.capturing)
        return unit.drawScale(p);
    RECT changed = unit.drawBlock(p);
    // A sweeping window's scale only where the block changed the buffer:
    // everywhere else the buffer holds it still. A blank buffer gets all of it.
    const bool clip = unit.scaleOverBlockOnly && !unit.buffer->blank;
    if (clip)
        ClipBuffer(unit.buffer, changed);
    const RECT scaleChanged = unit.drawScale(p);
    if (clip)
        UnclipBuffer(unit.buffer);
    UnionRect(&changed, &changed, &scaleChanged);
    return changed;
}

}  // namespace

void ApplyWindowVisibility()
{
    ShowWindow(g_hWaveWindow, g_Settings.m_bIsShowWaveWindow ? SW_SHOWNORMAL : SW_HIDE);
    ShowWindow(g_hResurgeWindow, g_Settings.m_bIsShowResurgeWindow ? SW_SHOWNORMAL : SW_HIDE);
    ShowWindow(g_hDecibelWindow, g_Settings.m_bIsShowDecibelWindow ? SW_SHOWNORMAL : SW_HIDE);
    ShowWindow(g_hFFTWindow, g_Settings.m_bIsShowFFTWindow ? SW_SHOWNORMAL : SW_HIDE);
}

void SyncCommonWidth(int width)
{
    if (s_iWidthSyncDepth >= kMaxWidthSyncDepth)
        return;
    ++s_iWidthSyncDepth;
    SetWindowWidth(g_hWaveWindow, width);
    SetWindowWidth(g_hDecibelWindow, width);
    SetWindowWidth(g_hFFTWindow, width);
    --s_iWidthSyncDepth;
}

void SetWindowWidth(HWND window, int width)
{
    if (window == g_hResurgeWindow)
        return;
    // A minimised window's rectangle is its icon placement, not a size to
    // keep; once restored, its own WM_SIZE brings the widths together again.
    if (IsIconic(window))
        return;
    RECT rc;
    if (!GetWindowRect(window, &rc))
        return;
    // A move to the same rectangle changes nothing on screen, but still
    // costs the platform a round of window-position work; the FFT window
    // asks for it on every block.
    if (rc.right - rc.left == width)
        return;
    MoveWindow(window, rc.left, rc.top, width, rc.bottom - rc.top, TRUE);
}

DisplayPaint GatherDisplayPaint(HWND window, BackBuffer* buffer)
{
    return {window,
            buffer,
            g_bCapturing,
            GetSharedBlock(),
            GetSweepColumn(),
            g_iSweepPosition,
            GetSharedSamplingRate(),
            static_cast<int>(GetFramesPerBlock()),
            g_pSpectrumWork,
            &g_Settings};
}

void DrawSweepCursor(const DisplayPaint& p)
{
    BackBuffer* b = p.target;
    const SweepCursorLines lines = ComputeSweepCursor(p.sweepColumn, b->height);
    DrawLine(b->dc, &b->pens, lines.blank.x1, lines.blank.y1, lines.blank.x2, lines.blank.y2,
             GetBkColor(b->dc), PS_SOLID);
    DrawSegment(b->dc, &b->pens, lines.cursor, kRed);
}

RECT BufferColumns(const BackBuffer& buffer, int x, int count)
{
    return {x, 0, ClampToInt(static_cast<long long>(x) + count), buffer.height};
}

LRESULT OnDisplayCreate(HWND window, const DisplayWindowUnit& unit)
{
    const DisplayWindowFields& f = *unit.fields;
    PlaceWindow(window, *f.xPos, *f.yPos, *f.width, *f.height);
    return 0;
}

bool TakeWindowSize(HWND window, WPARAM sizeType, const DisplayWindowUnit& unit, RECT* outer)
{
    // IsIconic as well: the FFT window sends itself WM_SIZE with type 0 on
    // every block, minimised or not, and the icon rectangle is no size.
    if (LOWORD(sizeType) == SIZE_MINIMIZED || IsIconic(window))
        return false;
    EnsureBuffer(window, unit);
    if (!GetWindowRect(window, outer))
        return false;
    *unit.fields->width = outer->right - outer->left;
    *unit.fields->height = outer->bottom - outer->top;
    return true;
}

bool ResizeSweepWindow(HWND window, WPARAM sizeType, const DisplayWindowUnit& unit)
{
    RECT rc;
    if (!TakeWindowSize(window, sizeType, unit, &rc))
        return false;
    SyncCommonWidth(rc.right - rc.left);
    return true;
}

LRESULT OnDisplayPaint(HWND window, const DisplayWindowUnit& unit)
{
    // The whole client area, so that an erase request clears all of the
    // history, not only the part that was invalid.
    InvalidateRect(window, nullptr, FALSE);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    EnsureBuffer(window, unit);
    BackBuffer& b = *unit.buffer;
    if (b.dc) {
        if (b.blank) {
            PaintDisplayWindow(window, unit);
            b.blank = false;
        }
        BitBlt(dc, 0, 0, b.width, b.height, b.dc, 0, 0, SRCCOPY);
        SetRectEmpty(&b.unshown);
    }
    EndPaint(window, &paint);
    return 0;
}

LRESULT OnDisplayNewData(HWND window, const DisplayWindowUnit& unit)
{
    EnsureBuffer(window, unit);
    BackBuffer& b = *unit.buffer;
    if (!b.dc)
        return 0;
    RememberPresentedWindow(window, unit);
    const bool wasBlank = b.blank;
    RECT changed = PaintDisplayWindow(window, unit);
    b.blank = false;
    if (wasBlank)
        changed = {0, 0, b.width, b.height};
    UnionRect(&b.unshown, &b.unshown, &changed);
    return 0;
}

void PresentDisplayWindows()
{
    for (int i = 0; i < s_presentedCount; ++i) {
        const PresentedWindow& w = s_presented[i];
        BackBuffer& b = *w.unit->buffer;
        // A hidden window shows nothing; a minimised one has no buffer.
        if (!*w.unit->fields->shown || !b.dc || IsRectEmpty(&b.unshown))
            continue;
        RECT r = b.unshown;
        const RECT all = {0, 0, b.width, b.height};
        SetRectEmpty(&b.unshown);
        if (IntersectRect(&r, &r, &all))
            BitBlt(w.dc, r.left, r.top, r.right - r.left, r.bottom - r.top, b.dc, r.left, r.top,
                   SRCCOPY);
    }
}

LRESULT OnDisplayClear(HWND window, const DisplayWindowUnit& unit)
{
    EnsureBuffer(window, unit);
    ClearBackBuffer(unit.buffer);
    ShowBufferColumns(window, *unit.buffer, 0, unit.buffer->width);
    SetRectEmpty(&unit.buffer->unshown);
    // Whatever was waiting to be painted is cleared already.
    ValidateRect(window, nullptr);
    return 0;
}

LRESULT OnDisplayEraseBackground(HWND window, WPARAM wParam, LPARAM lParam,
                                 const DisplayWindowUnit& unit)
{
    // An erase request clears the history; the paint that follows draws the
    // scale into the cleared buffer and shows all of it.
    if (!unit.buffer->dc)
        return DefWindowProcA(window, WM_ERASEBKGND, wParam, lParam);
    ClearBackBuffer(unit.buffer);
    return 1;
}

LRESULT HandleDisplayWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   const DisplayWindowUnit& unit)
{
    switch (message) {
    case WM_CREATE:
        return OnDisplayCreate(window, unit);
    case WM_SIZE:
        ResizeSweepWindow(window, wParam, unit);
        return 0;
    case WM_PAINT:
        return OnDisplayPaint(window, unit);
    case WM_ERASEBKGND:
        return OnDisplayEraseBackground(window, wParam, lParam, unit);
    case WM_CLOSE:
        *unit.fields->shown = false;
        ApplyWindowVisibility();
        return 0;
    case WM_DESTROY:
        FreeBackBuffer(unit.buffer);
        PostQuitMessage(0);
        return 0;
    case UM_NEWDATA:
        return OnDisplayNewData(window, unit);
    case UM_CLEAR:
        return OnDisplayClear(window, unit);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
