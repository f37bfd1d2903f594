#include "tests/wine/support/display_test_support.h"

// Apart on the 1600 x 1200 screen; the X-Y client is square under a
// 19-pixel caption.
const int kDisplayTestLayout[4][4] = {
    {10, 10, 400, 306}, {1000, 10, 285, 304}, {10, 340, 400, 288}, {480, 340, 400, 309}};

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
    const DisplayWindowFields* fields[4] = {&kWaveWindowFields, &kResurgeWindowFields,
                                            &kDecibelWindowFields, &kFFTWindowFields};
    for (int i = 0; i < 4; ++i) {
        *fields[i]->xPos = kDisplayTestLayout[i][0];
        *fields[i]->yPos = kDisplayTestLayout[i][1];
        *fields[i]->width = kDisplayTestLayout[i][2];
        *fields[i]->height = kDisplayTestLayout[i][3];
    }
    g_Settings.m_bIsShowFFTWindow = false;
    record.created = CreateDisplayWindows(GetModuleHandleA(nullptr));
    for (int i = 0; i < 4; ++i) {
        record.visible[i] = IsWindowVisible(*kHandles[i]) != FALSE;
        record.rect[i] = OuterRectOf(*kHandles[i]);
    }
    ApplyWindowVisibility();
    PumpMessages();
    return record;
}

HWND DisplayWindow(int index) { return *kHandles[index]; }

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

void ShowForTest(bool* shownFlag)
{
    *shownFlag = true;
    ApplyWindowVisibility();
    PumpMessages();
}

void SetClientSize(HWND window, int clientWidth, int clientHeight)
{
    RECT outer = OuterRectOf(window), client;
    GetClientRect(window, &client);
    const int dx = Width(outer) - client.right, dy = Height(outer) - client.bottom;
    MoveWindow(window, outer.left, outer.top, clientWidth > 0 ? clientWidth + dx : Width(outer),
               clientHeight + dy, TRUE);
    PumpMessages();
}

RECT OuterRectOf(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

COLORREF PixelAt(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return c;
}

int CountColour(HWND window, int left, int top, int right, int bottom, COLORREF colour)
{
    HDC dc = GetDC(window);
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            n += GetPixel(dc, x, y) == colour;
    ReleaseDC(window, dc);
    return n;
}

void InstallBlock(const std::vector<short>& frames, bool capturing)
{
    // A running capture always has a buffer, even when a read found nothing.
    static std::vector<short> s_frames;
    static std::vector<double> s_work(1024);
    s_frames = frames;
    s_frames.resize(frames.size() + 2);
    g_pPCMData = s_frames.data();
    g_iCountOfPCMData = static_cast<int>(frames.size() / 2);
    g_pSpectrumWork = s_work.data();
    g_bCapturing = capturing;
}

void PaintBlock(HWND window, int position, const std::vector<short>& frames, bool capturing)
{
    g_iSweepPosition = position;
    InstallBlock(frames, capturing);
    SendMessageA(window, UM_NEWDATA, 0, 0);
    g_bCapturing = false;
}

std::vector<short> ConstantFrames(int n, short left, short right)
{
    std::vector<short> v;
    for (int i = 0; i < n; ++i)
        v.insert(v.end(), {left, right});
    return v;
}

void SetCaptureRate(int rate)
{
    g_Settings.m_iSamplingRate = rate;
    g_bCapturing = false;
    SwitchCapture(false);
}

std::string WindowText(HWND window)
{
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}
