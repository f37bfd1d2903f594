#include "display_windows.h"

#include "decibel_window.h"
#include "display_frame.h"
#include "fft_window.h"
#include "resource.h"
#include "resurge_window.h"
#include "wave_window.h"

namespace {

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
