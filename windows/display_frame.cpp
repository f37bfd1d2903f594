#include "display_frame.h"

#include "shell_state.h"
#include "settings.h"
#include "sweep.h"
#include "resource.h"
#include "decibel_window.h"
#include "fft_window.h"
#include "frame_geometry.h"
#include "resurge_window.h"
#include "wave_window.h"

HWND g_hWaveWindow = nullptr;
HWND g_hResurgeWindow = nullptr;
HWND g_hDecibelWindow = nullptr;
HWND g_hFFTWindow = nullptr;

const DisplayWindowFields kWaveWindowFields = {
    &g_Settings.m_WaveWindowXPos, &g_Settings.m_WaveWindowYPos,
    &g_Settings.m_iCommonWindowXWidth, &g_Settings.m_WaveWindowYHeight,
    &g_Settings.m_bIsShowWaveWindow};
const DisplayWindowFields kResurgeWindowFields = {
    &g_Settings.m_ResurgeWindowXPos, &g_Settings.m_ResurgeWindowYPos,
    &g_Settings.m_ResurgeWindowXWidth, &g_Settings.m_ResurgeWindowYHeight,
    &g_Settings.m_bIsShowResurgeWindow};
const DisplayWindowFields kDecibelWindowFields = {
    &g_Settings.m_DecibelWindowXPos, &g_Settings.m_DecibelWindowYPos,
    &g_Settings.m_iCommonWindowXWidth, &g_Settings.m_DecibelWindowYHeight,
    &g_Settings.m_bIsShowDecibelWindow};
const DisplayWindowFields kFFTWindowFields = {
    &g_Settings.m_FFTWindowXPos, &g_Settings.m_FFTWindowYPos,
    &g_Settings.m_iCommonWindowXWidth, &g_Settings.m_FFTWindowYHeight,
    &g_Settings.m_bIsShowFFTWindow};

namespace {

// Where the icons come from; set by CreateDisplayWindows.
HINSTANCE s_hIconInstance = nullptr;

// How deep width synchronisation has nested. The chain ends by itself after
// one round (each window is moved to the width it already has); the bound
// keeps a platform that clamps windows differently from ping-ponging.
int s_iWidthSyncDepth = 0;
const int kMaxWidthSyncDepth = 4;

struct DisplayWindowDesc {
    const char* className;
    const char* title;
    WNDPROC     windowProc;
    int         stockBrush;
    int         iconId;
    HWND*       handle;
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

}  // namespace

ATOM RegisterDisplayClass(HINSTANCE instance, WNDPROC windowProc, const char* className,
                          int stockBrush)
{
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(stockBrush));
    wc.lpszClassName = className;
    return RegisterClassA(&wc);
}

HWND CreateDisplayWindow(HINSTANCE instance, const char* className, const char* title, int x,
                         int y, int width, int height, int showCommand)
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
    s_hIconInstance = instance;
    for (const DisplayWindowDesc& d : kDisplayWindows) {
        if (!RegisterDisplayClass(instance, d.windowProc, d.className, d.stockBrush))
            return false;
        *d.handle = CreateDisplayWindow(instance, d.className, d.title, kCreateX, kCreateY,
                                        kCreateWidth, kCreateHeight, SW_HIDE);
        if (!*d.handle)
            return false;
    }
    return true;
}

void SetDisplayWindowIcons()
{
    for (const DisplayWindowDesc& d : kDisplayWindows) {
        HICON icon = LoadIconA(s_hIconInstance, MAKEINTRESOURCEA(d.iconId));
        SendMessageA(*d.handle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageA(*d.handle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
}

void PlaceWindow(HWND window, int x, int y, int width, int height)
{
    RECT rc = {};
    GetWindowRect(window, &rc);
    MoveWindow(window, x, y, ResolvePlacementExtent(width, rc.right - rc.left),
               ResolvePlacementExtent(height, rc.bottom - rc.top), TRUE);
}

void EraseDisplayWindow(HWND window)
{
    InvalidateRect(window, nullptr, TRUE);
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
}

ClientSize GetClientSize(HWND window)
{
    RECT rc = {};
    if (!GetClientRect(window, &rc))
        return {0, 0};
    return {rc.right - rc.left, rc.bottom - rc.top};
}

void GetChannelBand(HWND window, ChannelBand* band, int channel, double scale)
{
    ComputeChannelBand(GetClientSize(window).height, channel, scale, band);
}

void DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int penStyle,
              int penWidth)
{
    HPEN pen = CreatePen(penStyle, penWidth, colour);
    if (!pen)
        return;
    HGDIOBJ previous = SelectObject(dc, pen);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    SelectObject(dc, previous);
    DeleteObject(pen);
}

void DrawSweepCursor(HWND window, HDC dc)
{
    const SweepCursorLines lines =
        ComputeSweepCursor(GetSweepColumn(), GetClientSize(window).height);
    const LineSegment& b = lines.blank;
    const LineSegment& c = lines.cursor;
    DrawLine(dc, b.x1, b.y1, b.x2, b.y2, GetBkColor(dc), PS_SOLID, 1);
    DrawLine(dc, c.x1, c.y1, c.x2, c.y2, RGB(255, 0, 0), PS_SOLID, 1);
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
    // A move to the same rectangle changes nothing on screen and sends no
    // WM_SIZE, but still costs the platform a round of window-position work;
    // the FFT window asks for it on every block.
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
    // stored position puts the window back where it was (the two are equal
    // when no taskbar sits at the top or left).
    RECT r = placement.rcNormalPosition;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
        const int dx = monitor.rcWork.left - monitor.rcMonitor.left;
        const int dy = monitor.rcWork.top - monitor.rcMonitor.top;
        OffsetRect(&r, dx, dy);
    }
    *rect = r;
    return true;
}

LRESULT OnDisplayCreate(HWND window, const DisplayWindowFields& fields)
{
    PlaceWindow(window, *fields.xPos, *fields.yPos, *fields.width, *fields.height);
    return 0;
}

LRESULT OnSweepWindowSize(HWND window, WPARAM sizeType, const DisplayWindowFields& fields)
{
    // IsIconic as well: the FFT window sends itself WM_SIZE with type 0 on
    // every block, minimised or not, and the icon rectangle is no size.
    if (LOWORD(sizeType) == SIZE_MINIMIZED || IsIconic(window))
        return 0;
    RECT rc;
    if (!GetWindowRect(window, &rc))
        return 0;
    const int width = rc.right - rc.left;
    *fields.width = width;
    *fields.height = rc.bottom - rc.top;
    SyncCommonWidth(width);
    return 0;
}

LRESULT OnDisplayClose(HWND, const DisplayWindowFields& fields)
{
    *fields.shown = false;
    ApplyWindowVisibility();
    return 0;
}

LRESULT OnDisplayDestroy(HWND)
{
    PostQuitMessage(0);
    return 0;
}

LRESULT OnDisplayNewData(HWND window)
{
    SendMessageA(window, WM_PAINT, 0, 0);
    return 0;
}

LRESULT OnDisplayClear(HWND window)
{
    EraseDisplayWindow(window);
    return 0;
}

HDC BeginDisplayPaint(HWND window, PAINTSTRUCT* paint)
{
    InvalidateRect(window, nullptr, FALSE);
    return BeginPaint(window, paint);
}

void EndDisplayPaint(HWND window, PAINTSTRUCT* paint)
{
    EndPaint(window, paint);
}

LRESULT HandleSweepWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                 const DisplayWindowFields& fields)
{
    switch (message) {
    case WM_CREATE:  return OnDisplayCreate(window, fields);
    case WM_SIZE:    return OnSweepWindowSize(window, wParam, fields);
    case WM_CLOSE:   return OnDisplayClose(window, fields);
    case WM_DESTROY: return OnDisplayDestroy(window);
    default:         break;
    }
    if (message == UM_NEWDATA)
        return OnDisplayNewData(window);
    if (message == UM_CLEAR)
        return OnDisplayClear(window);
    return DefWindowProcA(window, message, wParam, lParam);
}
