#include "display_frame.h"

#include "decibel_window.h"
#include "fft_window.h"
#include "frame_geometry.h"
#include "resource.h"
#include "resurge_window.h"
#include "settings.h"
#include "shell_state.h"
#include "sweep.h"
#include "wave_window.h"

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

struct DisplayWindowDesc {
    const char* className;
    const char* title;
    WNDPROC windowProc;
    int stockBrush;
    int iconId;
    HWND* handle;
};

const DisplayWindowDesc kDisplayWindows[] = {
    {"WAVECLASS", "サンプリング波形", WaveWindowProc, WHITE_BRUSH, IDI_WAVE, &g_hWaveWindow},
    {"RESURGECLASS", "X-Y", ResurgeWindowProc, BLACK_BRUSH, IDI_RESURGE, &g_hResurgeWindow},
    {"DECIBELCLASS", "有効デシベル", DecibelWindowProc, WHITE_BRUSH, IDI_DECIBEL,
     &g_hDecibelWindow},
    {"FFTCLASS", "FFT", FFTWindowProc, WHITE_BRUSH, IDI_FFT, &g_hFFTWindow},
};

const DWORD kDisplayWindowStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

// Placeholder rectangle of creation; the creation handler moves the window.
const int kCreateX = 0, kCreateY = 0, kCreateWidth = 400, kCreateHeight = 200;

PixelRect ToPixelRect(const RECT& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

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

}  // namespace

void SetWindowIcons(HINSTANCE instance, HWND window, int iconId)
{
    HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(iconId));
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

ATOM RegisterDisplayClass(HINSTANCE instance, WNDPROC windowProc, const char* className,
                          int stockBrush)
{
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(stockBrush));
    wc.lpszClassName = className;
    return RegisterClassA(&wc);
}

HWND CreateDisplayWindow(HINSTANCE instance, const char* className, const char* title, int x, int y,
                         int width, int height, int showCommand)
{
    HWND window = CreateWindowExA(0, className, title, kDisplayWindowStyle, x, y, width, height,
                                  nullptr, nullptr, instance, nullptr);
    if (window) {
        ShowWindow(window, showCommand);
        UpdateWindow(window);
    }
    return window;
}

bool CreateDisplayWindows(HINSTANCE instance)
{
    for (const DisplayWindowDesc& d : kDisplayWindows) {
        if (!RegisterDisplayClass(instance, d.windowProc, d.className, d.stockBrush))
            return false;
        *d.handle = CreateDisplayWindow(instance, d.className, d.title, kCreateX, kCreateY,
                                        kCreateWidth, kCreateHeight, SW_HIDE);
        if (!*d.handle)
            return false;
    }
    ApplyWindowVisibility();
    for (const DisplayWindowDesc& d : kDisplayWindows)
        SetWindowIcons(instance, *d.handle, d.iconId);
    return true;
}

void PlaceWindow(HWND window, int x, int y, int width, int height)
{
    RECT rc = {};
    GetWindowRect(window, &rc);
    const int w = ResolvePlacementExtent(width, rc.right - rc.left);
    const int h = ResolvePlacementExtent(height, rc.bottom - rc.top);
    RECT wanted = {x, y, ClampToInt(static_cast<long long>(x) + w),
                   ClampToInt(static_cast<long long>(y) + h)};
    // A place on no monitor (one removed, a smaller screen, a bad value)
    // would leave the window out of reach for good.
    if (!MonitorFromRect(&wanted, MONITOR_DEFAULTTONULL)) {
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof monitor;
        if (GetMonitorInfoA(MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor)) {
            const PixelRect r = BringOntoWorkArea(ToPixelRect(wanted), ToPixelRect(monitor.rcWork));
            x = r.left;
            y = r.top;
        }
    }
    MoveWindow(window, x, y, w, h, TRUE);
}

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

bool GetRestoredWindowRect(HWND window, RECT* rect)
{
    if (!IsIconic(window))
        return GetWindowRect(window, rect) != FALSE;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window, &placement))
        return false;
    // rcNormalPosition is in workspace coordinates: relative to the work area
    // of the window's monitor. Shift it into screen coordinates so that the
    // stored position puts the window back where it was.
    RECT r = placement.rcNormalPosition;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor))
        OffsetRect(&r, monitor.rcWork.left - monitor.rcMonitor.left,
                   monitor.rcWork.top - monitor.rcMonitor.top);
    *rect = r;
    return true;
}

DisplayPaint GatherDisplayPaint(BackBuffer* buffer)
{
    return {buffer, GetSharedBlock(), GetSweepColumn()};
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

void OnDisplayResized(HWND window, const DisplayWindowUnit& unit)
{
    EnsureBuffer(window, unit);
}

LRESULT OnSweepWindowSize(HWND window, WPARAM sizeType, const DisplayWindowUnit& unit)
{
    // IsIconic as well: the FFT window sends itself WM_SIZE with type 0 on
    // every block, minimised or not, and the icon rectangle is no size.
    if (LOWORD(sizeType) == SIZE_MINIMIZED || IsIconic(window))
        return 0;
    OnDisplayResized(window, unit);
    RECT rc;
    if (!GetWindowRect(window, &rc))
        return 0;
    const int width = rc.right - rc.left;
    *unit.fields->width = width;
    *unit.fields->height = rc.bottom - rc.top;
    SyncCommonWidth(width);
    return 0;
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
            unit.paint(window, &b);
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
    RECT changed = unit.paint(window, &b);
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
        return OnSweepWindowSize(window, wParam, unit);
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
