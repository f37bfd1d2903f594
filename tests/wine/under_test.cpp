#include "under_test.h"

#include <cmath>
#include <deque>
#include <set>

#include "block_step.h"
#include "capture_session.h"
#include "control_dialog.h"
#include "device_list.h"
#include "display_frame.h"
#include "resource.h"
#include "settings.h"
#include "shell_state.h"

const int kTestLayout[5][4] = {{1100, 10, 0, 0},
                               {10, 10, 400, 306},
                               {1000, 300, 285, 304},
                               {10, 340, 400, 288},
                               {480, 640, 400, 309}};

FakeDirectSoundCapture& Fake()
{
    static FakeDirectSoundCapture* fake = new FakeDirectSoundCapture;
    return *fake;
}

HWND DisplayWindow(int index)
{
    const HWND windows[] = {g_hWaveWindow, g_hResurgeWindow, g_hDecibelWindow, g_hFFTWindow};
    return windows[index];
}

void EnsureTavrelWindows()
{
    if (g_hControlDialog)
        return;
    g_hInstance = GetModuleHandleA(nullptr);
    ApplySettingDefaults(g_Settings);
    int* places[5][2] = {{&g_Settings.m_CtrlDlgWindowXPos, &g_Settings.m_CtrlDlgWindowYPos},
                         {&g_Settings.m_WaveWindowXPos, &g_Settings.m_WaveWindowYPos},
                         {&g_Settings.m_ResurgeWindowXPos, &g_Settings.m_ResurgeWindowYPos},
                         {&g_Settings.m_DecibelWindowXPos, &g_Settings.m_DecibelWindowYPos},
                         {&g_Settings.m_FFTWindowXPos, &g_Settings.m_FFTWindowYPos}};
    for (int i = 0; i < 5; ++i)
        *places[i][0] = kTestLayout[i][0], *places[i][1] = kTestLayout[i][1];
    g_Settings.m_DecibelWindowYHeight = kTestLayout[3][3];
    g_Settings.m_FFTWindowYHeight = kTestLayout[4][3];
    g_hNotificationEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    g_pDirectSoundCapture = &Fake();
    g_hControlDialog = CreateDialogParamA(g_hInstance, MAKEINTRESOURCEA(IDD_CONTROL), nullptr,
                                          ControlDialogProc, 0);
    ShowWindow(g_hControlDialog, SW_SHOW);
    Pump();
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void PumpFor(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    do {
        Pump();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

void PressStartStop()
{
    SendMessageA(g_hControlDialog, WM_COMMAND, MAKEWPARAM(IDC_STARTSTOP, 0), 0);
}

bool FeedBlock(const std::vector<short>& frames)
{
    FakeCaptureBuffer* buffer = Fake().LastBuffer();
    if (buffer) {
        const DWORD bytes = static_cast<DWORD>(buffer->bytes.size());
        buffer->WriteFrames(buffer->readPosition, frames.data(), frames.size() / 2);
        buffer->readPosition = (buffer->readPosition + 2 * frames.size()) % bytes;
    }
    return RunBlockStep();
}

std::vector<short> Tone(int n, double left, double leftHz, double right, double rightHz, int rate)
{
    std::vector<short> v;
    for (int i = 0; i < n; ++i) {
        const double t = 6.283185307179586 * i / rate;
        v.push_back(static_cast<short>(left * std::sin(leftHz * t)));
        v.push_back(static_cast<short>(right * std::sin(rightHz * t)));
    }
    return v;
}

std::vector<std::uint32_t> ScreenPixels(HWND window, int* width, int* height)
{
    RECT client = {};
    GetClientRect(window, &client);
    const int w = client.right, h = client.bottom;
    std::vector<std::uint32_t> pixels(static_cast<size_t>(w) * h);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HDC screen = GetDC(window);
    BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    ReleaseDC(window, screen);
    GdiFlush();
    std::copy_n(static_cast<std::uint32_t*>(bits), pixels.size(), pixels.begin());
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    if (width)
        *width = w;
    if (height)
        *height = h;
    return pixels;
}

std::string WindowText(HWND window)
{
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

namespace {

HHOOK s_hook = nullptr;
ModalDriver* s_driver = nullptr;
std::deque<std::function<void(HWND)>> s_scripts;
// A dialog is driven when it first opens, not each time it is active again.
std::set<HWND> s_opened;

bool AnyTavrelWindowEnabled(HWND except)
{
    const HWND own[] = {g_hControlDialog, g_hWaveWindow, g_hResurgeWindow, g_hDecibelWindow,
                        g_hFFTWindow};
    for (HWND w : own)
        if (w && w != except && IsWindowVisible(w) && IsWindowEnabled(w))
            return true;
    return false;
}

// Runs in the dialog's own modal loop, once it is up.
void CALLBACK RunNext(HWND dialog, UINT, UINT_PTR id, DWORD)
{
    KillTimer(dialog, id);
    if (!s_scripts.empty()) {
        std::function<void(HWND)> script = s_scripts.front();
        s_scripts.pop_front();
        script(dialog);
        return;
    }
    // Tavrel's own dialogs carry these items; every other one is a box.
    if (GetDlgItem(dialog, IDC_DEVICE_LIST) || GetDlgItem(dialog, IDC_ABOUT_TITLE)) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    char caption[256] = {}, text[1024] = {};
    GetWindowTextA(dialog, caption, sizeof caption);
    GetDlgItemTextA(dialog, 0xFFFF, text, sizeof text);
    const HWND owner = GetWindow(dialog, GW_OWNER);
    s_driver->boxes.push_back({caption, text, owner, AnyTavrelWindowEnabled(nullptr)});
    PostMessageA(dialog, WM_COMMAND, LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0)), 0);
}

LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam)
{
    char name[16] = {};
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && GetClassNameA(window, name, sizeof name) &&
        lstrcmpA(name, "#32770") == 0 && window != g_hControlDialog &&
        s_opened.insert(window).second)
        SetTimer(window, 0x7A7E, 20, RunNext);
    return CallNextHookEx(s_hook, code, wParam, lParam);
}

}  // namespace

ModalDriver::ModalDriver()
{
    s_driver = this;
    s_scripts.clear();
    s_opened.clear();
    s_hook = SetWindowsHookExA(WH_CBT, OnCbt, nullptr, GetCurrentThreadId());
}

ModalDriver::~ModalDriver()
{
    UnhookWindowsHookEx(s_hook);
    s_driver = nullptr;
}

void ModalDriver::Then(std::function<void(HWND)> script)
{
    s_scripts.push_back(script);
}
