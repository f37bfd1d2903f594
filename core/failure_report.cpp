#include "failure_report.h"

#include <cstdio>

#include "shell_state.h"

namespace {

struct FailureText {
    const char* text;  // a printf format where the failure has a value
    const char* caption;
    UINT style;
    bool endsUnsaved;
};

const FailureText kFailureTexts[] = {
    {"DirectSound の初期化に失敗しました。", "fatal error", MB_ICONERROR | MB_OK, false},
    {"キャプチャバッファを確保できません", "fatal error", MB_ICONERROR | MB_OK, false},
    {"FFT バッファを確保できません", "fatal error", MB_ICONERROR | MB_OK, false},
    {"Buffer overflow. too many g_iCountOfPCMData", "fatal error", MB_OK, true},
    {"Direct Sound の通知イベントに失敗しました。\n終了します。", "Tavrel", MB_ICONERROR | MB_OK,
     true},
    {"DirectSound デバイスが利用できません。", "fatal error", MB_ICONERROR | MB_OK, false},
    {"重大な初期化エラー", "fatal error", MB_ICONERROR | MB_OK, true},
    {"値が不正です: m_iThinResurgeWave = %d", "fatal error", MB_ICONERROR | MB_OK, true},
    {"利用できるサウンドデバイスがありません。", "fatal error", MB_ICONERROR | MB_OK, false},
};

bool s_bRunEndsUnsaved = false;

// Windows of this thread that the box must hold off: while it is up the
// user can reach nothing of Tavrel, and its loop runs none of its commands.
struct DisabledWindows {
    HWND owner;
    HWND windows[16];
    int count;
};

BOOL CALLBACK DisableWindow(HWND window, LPARAM context)
{
    DisabledWindows* d = reinterpret_cast<DisabledWindows*>(context);
    if (window == d->owner || window == g_hTitleWindow || !IsWindowVisible(window) ||
        !IsWindowEnabled(window))
        return TRUE;
    if (d->count == static_cast<int>(sizeof d->windows / sizeof d->windows[0]))
        return FALSE;
    EnableWindow(window, FALSE);
    d->windows[d->count++] = window;
    return TRUE;
}

}  // namespace

void ReportFailure(Failure failure, HRESULT hr, int value, HWND owner)
{
    const FailureText& f = kFailureTexts[failure];
    s_bRunEndsUnsaved = s_bRunEndsUnsaved || f.endsUnsaved;
    char text[160];
    std::snprintf(text, sizeof text, f.text, value);
    char log[224];
    std::snprintf(log, sizeof log, "Tavrel: %s (HRESULT 0x%08lX)\n", text,
                  static_cast<unsigned long>(hr));
    OutputDebugStringA(log);

    if (!owner && g_hControlDialog)
        owner = GetLastActivePopup(g_hControlDialog);
    DisabledWindows disabled = {owner, {}, 0};
    EnumThreadWindows(GetCurrentThreadId(), DisableWindow, reinterpret_cast<LPARAM>(&disabled));
    MessageBoxA(owner, text, f.caption, f.style);
    for (int i = 0; i < disabled.count; ++i)
        EnableWindow(disabled.windows[i], TRUE);
}

bool RunEndsUnsaved()
{
    return s_bRunEndsUnsaved;
}
