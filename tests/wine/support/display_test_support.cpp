#include "tests/wine/support/display_test_support.h"

#include "app/settings.h"
#include "capture/capture_session.h"
#include "windows/display_frame.h"

const DisplayTestLayout kDisplayTestLayout = {
    10, 10, 400, 306,    // Wave
    1000, 10, 285, 304,  // X-Y: square client with a 19-pixel caption
    10, 340, 288,        // Decibel
    480, 340, 309,       // FFT
};

static HWND* const kHandles[4] = {&g_hWaveWindow, &g_hResurgeWindow, &g_hDecibelWindow,
                                  &g_hFFTWindow};

const DisplayCreationRecord& EnsureDisplayWindows()
{
    static DisplayCreationRecord record;
    static bool done = false;
    if (done)
        return record;
    done = true;

    ApplySettingDefaults(g_Settings);
    const DisplayTestLayout& l = kDisplayTestLayout;
    g_Settings.m_WaveWindowXPos = l.waveX;
    g_Settings.m_WaveWindowYPos = l.waveY;
    g_Settings.m_iCommonWindowXWidth = l.commonWidth;
    g_Settings.m_WaveWindowYHeight = l.waveHeight;
    g_Settings.m_ResurgeWindowXPos = l.resurgeX;
    g_Settings.m_ResurgeWindowYPos = l.resurgeY;
    g_Settings.m_ResurgeWindowXWidth = l.resurgeWidth;
    g_Settings.m_ResurgeWindowYHeight = l.resurgeHeight;
    g_Settings.m_DecibelWindowXPos = l.decibelX;
    g_Settings.m_DecibelWindowYPos = l.decibelY;
    g_Settings.m_DecibelWindowYHeight = l.decibelHeight;
    g_Settings.m_FFTWindowXPos = l.fftX;
    g_Settings.m_FFTWindowYPos = l.fftY;
    g_Settings.m_FFTWindowYHeight = l.fftHeight;
    g_Settings.m_bIsShowFFTWindow = false;

    record.created = CreateDisplayWindows(GetModuleHandleA(nullptr));
    for (int i = 0; i < 4; ++i) {
        record.visible[i] = IsWindowVisible(*kHandles[i]) != FALSE;
        GetWindowRect(*kHandles[i], &record.rect[i]);
    }
    ApplyWindowVisibility();
    SetDisplayWindowIcons();
    PumpMessages();
    return record;
}

HWND DisplayWindow(int index)
{
    return *kHandles[index];
}

void PumpMessages()
{
    const bool capturing = g_bCapturing;
    g_bCapturing = false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    g_bCapturing = capturing;
}

void ShowForTest(HWND, bool* shownFlag)
{
    *shownFlag = true;
    ApplyWindowVisibility();
    PumpMessages();
}

void SetClientSize(HWND window, int clientWidth, int clientHeight)
{
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    const int dx = (outer.right - outer.left) - client.right;
    const int dy = (outer.bottom - outer.top) - client.bottom;
    const int width = clientWidth > 0 ? clientWidth + dx : outer.right - outer.left;
    MoveWindow(window, outer.left, outer.top, width, clientHeight + dy, TRUE);
    PumpMessages();
}

COLORREF PixelAt(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return c;
}

std::vector<COLORREF> ClientPixels(HWND window, int* width, int* height)
{
    RECT rc;
    GetClientRect(window, &rc);
    *width = rc.right;
    *height = rc.bottom;
    std::vector<COLORREF> pixels(static_cast<size_t>(rc.right) * rc.bottom);
    HDC dc = GetDC(window);
    for (int y = 0; y < rc.bottom; ++y)
        for (int x = 0; x < rc.right; ++x)
            pixels[static_cast<size_t>(y) * rc.right + x] = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return pixels;
}

InstalledBlock::InstalledBlock(const std::vector<short>& interleaved, bool capturing)
    : frames_(interleaved), work_(1024 > interleaved.size() ? 1024 : interleaved.size()),
      previousFrames_(g_pPCMData), previousCount_(g_iCountOfPCMData),
      previousWork_(g_pSpectrumWork), previousCapturing_(g_bCapturing)
{
    // A capture that runs always has a buffer, even when a read found nothing.
    static short emptyBlock[2];
    g_pPCMData = frames_.empty() ? emptyBlock : frames_.data();
    g_iCountOfPCMData = static_cast<int>(frames_.size() / 2);
    g_pSpectrumWork = work_.data();
    g_bCapturing = capturing;
}

InstalledBlock::~InstalledBlock()
{
    g_pPCMData = previousFrames_;
    g_iCountOfPCMData = previousCount_;
    g_pSpectrumWork = previousWork_;
    g_bCapturing = previousCapturing_;
}

std::vector<short> ConstantFrames(int n, short left, short right)
{
    std::vector<short> v;
    v.reserve(static_cast<size_t>(n) * 2);
    for (int i = 0; i < n; ++i) {
        v.push_back(left);
        v.push_back(right);
    }
    return v;
}

void SetCaptureRate(int rate)
{
    g_Settings.m_iSamplingRate = rate;
    const bool capturing = g_bCapturing;
    g_bCapturing = false;
    SwitchCapture(false);
    g_bCapturing = capturing;
}

std::string WindowText(HWND window)
{
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}
