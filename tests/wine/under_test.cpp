#include "under_test.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <cmath>
#include <deque>
#include <set>

#include "about_dialog.h"
#include "back_buffer.h"
#include "block_step.h"
#include "capture_session.h"
#include "control_dialog.h"
#include "device_list.h"
#include "display_frame.h"
#include "main_loop.h"
#include "resource.h"
#include "settings.h"
#include "shell_state.h"

FakeDirectSoundCapture& Fake()
{
    static FakeDirectSoundCapture* fake = new FakeDirectSoundCapture;
    return *fake;
}

int g_captureOpens = 0;
HRESULT WINAPI CreateFake(LPCGUID, LPDIRECTSOUNDCAPTURE* capture, LPUNKNOWN)
{
    ++g_captureOpens;
    Fake().AddRef();
    *capture = &Fake();
    return S_OK;
}

// Before the first test: the control dialog and the display windows, apart on
// the screen, for the whole run.
struct TavrelWindows : ::testing::Environment {
    void SetUp() override;
};
const auto* const g_tavrelWindows = ::testing::AddGlobalTestEnvironment(new TavrelWindows);
static Settings s_known;  // once the windows stand

void TavrelWindows::SetUp()
{
    g_hInstance = GetModuleHandleA(nullptr);
    Settings& s = g_Settings;
    ApplySettingDefaults(s);
    s.m_CtrlDlgWindowXPos = 1100, s.m_WaveWindowXPos = s.m_WaveWindowYPos = 10;
    s.m_ResurgeWindowXPos = 1000, s.m_ResurgeWindowYPos = 300;
    s.m_DecibelWindowXPos = 10, s.m_DecibelWindowYPos = 340;
    s.m_FFTWindowXPos = 480, s.m_FFTWindowYPos = 640;
    g_hNotificationEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    g_hControlDialog = CreateDialogParamA(g_hInstance, MAKEINTRESOURCEA(IDD_CONTROL), nullptr,
                                          ControlDialogProc, 0);
    ShowWindow(g_hControlDialog, SW_SHOW);
    Pump();
    s_known = g_Settings;
}

void FromKnownState::SetUp()
{
    g_Settings = s_known;
    Stop();
    g_pDirectSoundCapture = &Fake();
    g_pDirectSoundCaptureCreate = CreateFake;  // a device opened afresh is the double again
    Fake().startResult = S_OK;
    g_pShellExecuteA = ShellExecuteA, g_pHtmlHelpA = nullptr, g_pWinExec = WinExec;
    ApplyWindowVisibility();
    const Settings& s = s_known;
    const int w = s.m_iCommonWindowXWidth;
    MoveWindow(g_hWaveWindow, s.m_WaveWindowXPos, s.m_WaveWindowYPos, w, s.m_WaveWindowYHeight,
               TRUE);
    MoveWindow(g_hResurgeWindow, s.m_ResurgeWindowXPos, s.m_ResurgeWindowYPos,
               s.m_ResurgeWindowXWidth, s.m_ResurgeWindowYHeight, TRUE);
    MoveWindow(g_hDecibelWindow, s.m_DecibelWindowXPos, s.m_DecibelWindowYPos, w,
               s.m_DecibelWindowYHeight, TRUE);
    MoveWindow(g_hFFTWindow, s.m_FFTWindowXPos, s.m_FFTWindowYPos, w, s.m_FFTWindowYHeight, TRUE);
    Pump();
}

// The program's own pump, without its keys.
void Pump()
{
    WPARAM code;
    DrainMessageQueue(nullptr, &code);
}

void FromKnownState::StartStop() { SendMessageA(g_hControlDialog, WM_COMMAND, IDC_STARTSTOP, 0); }

bool FeedBlock(const std::vector<short>& frames)
{
    if (FakeCaptureBuffer* b = Fake().LastBuffer()) {
        b->WriteFrames(b->readPosition, frames.data(), frames.size() / 2);
        b->readPosition = (b->readPosition + 2 * frames.size()) % b->bytes.size();
    }
    return RunBlockStep();
}

std::vector<short> Tone(int n, double left, double leftHz, double right, double rightHz)
{
    std::vector<short> v;
    for (int i = 0; i < n; ++i) {
        const double t = 6.283185307179586 * i / 48000;
        v.push_back(static_cast<short>(left * std::sin(leftHz * t)));
        v.push_back(static_cast<short>(right * std::sin(rightHz * t)));
    }
    return v;
}

std::vector<std::uint32_t> ScreenPixels(HWND window)
{
    BackBuffer copy = {};
    RemakeBackBuffer(&copy, window, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HDC screen = GetDC(window);
    BitBlt(copy.dc, 0, 0, copy.width, copy.height, screen, 0, 0, SRCCOPY);
    ReleaseDC(window, screen);
    GdiFlush();
    std::vector<std::uint32_t> pixels(copy.bits, copy.bits + copy.width * copy.height);
    FreeBackBuffer(&copy);
    return pixels;
}

std::string ItemText(HWND dialog, int id)
{
    char text[1024] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

std::string Texts(HWND dialog)
{
    char text[1024] = {};
    GetWindowTextA(dialog, text, sizeof text);
    std::string texts = text;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        const LONG picture = GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK;  // SS_ICON, SS_BITMAP
        if (GetClassNameA(c, text, sizeof text) &&
            (!lstrcmpiA(text, "Button") ||
             (!lstrcmpiA(text, "Static") && picture != SS_ICON && picture != SS_BITMAP)))
            texts += "|" + std::string(text, GetWindowTextA(c, text, sizeof text));
    }
    return texts;
}

std::string ListItems(HWND dialog, int id)
{
    std::string items;
    char text[256];
    for (int i = 0;
         SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text)) >= 0; ++i)
        items += (i ? " " : "") + std::string(text);
    return items;
}

namespace {

// The button an open box has given the focus. DM_GETDEFID would name the
// template's, which under Wine stays OK whatever the box's buttons.
int DefaultButton(HWND box)
{
    HWND focus = GetFocus();
    return IsChild(box, focus) ? GetDlgCtrlID(focus) : IDOK;
}

// What a box shows as MB_ flags: its buttons, its icon (the system's shared
// ones) and MB_DEFBUTTON2 when the focus is on No.
long BoxStyle(HWND box)
{
    long style = GetDlgItem(box, IDYES)      ? MB_YESNO
                 : GetDlgItem(box, IDCANCEL) ? MB_OKCANCEL
                                             : MB_OK;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        for (const auto& [flag, icon] : {std::make_pair(MB_ICONERROR, IDI_ERROR),
                                         {MB_ICONQUESTION, IDI_QUESTION},
                                         {MB_ICONWARNING, IDI_WARNING}})
            if (SendMessageA(c, STM_GETICON, 0, 0) ==
                reinterpret_cast<LPARAM>(LoadIconA(nullptr, icon)))
                style |= flag;
    return style | (DefaultButton(box) == IDNO ? MB_DEFBUTTON2 : 0);
}

HHOOK s_hook = nullptr;
ModalDriver* s_driver = nullptr;
std::deque<std::function<void(HWND)>> s_scripts;
std::set<HWND> s_opened;  // driven when it opens, not when it is active again

void CALLBACK RunNext(HWND dialog, UINT, UINT_PTR id, DWORD)
{
    KillTimer(dialog, id);
    // Tavrel's own dialogs carry these items; every other one is a box.
    const bool box = !GetDlgItem(dialog, IDC_DEVICE_LIST) && !GetDlgItem(dialog, IDC_ABOUT_TITLE);
    if (box) {
        char caption[256] = {};
        GetWindowTextA(dialog, caption, sizeof caption);
        bool live = false;
        for (HWND w :
             {g_hControlDialog, g_hWaveWindow, g_hResurgeWindow, g_hDecibelWindow, g_hFFTWindow})
            live = live || (IsWindowVisible(w) && IsWindowEnabled(w));
        s_driver->boxes.push_back({caption, ItemText(dialog, 0xFFFF), BoxStyle(dialog),
                                   GetWindow(dialog, GW_OWNER), live});
    }
    if (!s_scripts.empty()) {
        std::function<void(HWND)> script = s_scripts.front();
        s_scripts.pop_front();
        return script(dialog);
    }
    const WPARAM answer = box ? DefaultButton(dialog) : IDCANCEL;
    PostMessageA(dialog, WM_COMMAND, answer, 0);
}

LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam)
{
    char name[16] = {};
    HWND w = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && GetClassNameA(w, name, sizeof name) && !lstrcmpA(name, "#32770") &&
        w != g_hControlDialog && s_opened.insert(w).second)
        SetTimer(w, 1, 20, RunNext);
    return CallNextHookEx(s_hook, code, wParam, lParam);
}

}  // namespace

// One driver at a time: a new one takes over from the one before.
ModalDriver::ModalDriver()
{
    if (s_hook)
        UnhookWindowsHookEx(s_hook);
    s_driver = this;
    s_scripts.clear(), s_opened.clear();
    s_hook = SetWindowsHookExA(WH_CBT, OnCbt, nullptr, GetCurrentThreadId());
}

ModalDriver::~ModalDriver()
{
    if (s_driver != this)
        return;
    UnhookWindowsHookEx(s_hook);
    s_hook = nullptr, s_driver = nullptr;
}

void ModalDriver::Then(std::function<void(HWND)> script) { s_scripts.push_back(script); }
