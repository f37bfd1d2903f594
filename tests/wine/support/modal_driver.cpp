#include "tests/wine/support/modal_driver.h"

#include <map>

namespace {

HHOOK g_hook = nullptr;
int g_answer = IDOK;
std::vector<SeenMessageBox> g_seen;
// Dialogs created while the answerer lives, each with the control it focused
// first; dialogs already there (a control dialog re-activated) are no boxes.
std::map<HWND, int> g_created;
const char* g_scriptCaption = nullptr;
const std::function<void(HWND)>* g_script = nullptr;
HWND g_scriptDialog = nullptr;

UINT_PTR g_endTimer = 0;

void CALLBACK EndForgottenDialog(HWND, UINT, UINT_PTR, DWORD)
{
    KillTimer(nullptr, g_endTimer);
    g_endTimer = 0;
    EndDialog(g_scriptDialog, -1);
}

void CALLBACK RunScript(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    (*g_script)(g_scriptDialog);
    // Timers come after posted and input messages, so whatever the script
    // posted to end the dialog is handled first.
    g_endTimer = SetTimer(nullptr, 0, 0, EndForgottenDialog);
}

LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    HWND window = reinterpret_cast<HWND>(wParam);
    char text[1024] = {};
    if (code == HCBT_CREATEWND && GetClassNameA(window, text, sizeof(text)) &&
        lstrcmpA(text, "#32770") == 0)
        g_created[window] = 0;
    if (code == HCBT_SETFOCUS && window) {
        // A message box focuses its default button before it is activated.
        auto box = g_created.find(GetParent(window));
        if (box != g_created.end() && box->second == 0)
            box->second = GetDlgCtrlID(window);
    }
    if (code == HCBT_ACTIVATE && g_created.count(window)) {
        char caption[256] = {};
        GetWindowTextA(window, caption, sizeof(caption));
        if (g_script && !g_scriptDialog && lstrcmpA(caption, g_scriptCaption) == 0) {
            g_scriptDialog = window;
            SetTimer(nullptr, 0, 0, RunScript);
        } else if (window != g_scriptDialog) {
            GetDlgItemTextA(window, 0xFFFF, text, sizeof(text));
            g_seen.push_back({caption, text, GetWindow(window, GW_OWNER), g_created[window],
                              GetDlgItem(window, IDYES) && GetDlgItem(window, IDNO)});
            PostMessageA(window, WM_COMMAND, g_answer, 0);
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

}  // namespace

MessageBoxAnswerer::MessageBoxAnswerer(int answer)
{
    g_answer = answer;
    g_seen.clear();
    g_created.clear();
    g_hook = SetWindowsHookExA(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    UnhookWindowsHookEx(g_hook);
}

void MessageBoxAnswerer::SetAnswer(int answer)
{
    g_answer = answer;
}

const std::vector<SeenMessageBox>& MessageBoxAnswerer::Seen() const
{
    return g_seen;
}

INT_PTR RunModalScript(const char* caption, const std::function<INT_PTR()>& open,
                       const std::function<void(HWND)>& script)
{
    g_scriptCaption = caption;
    g_script = &script;
    g_scriptDialog = nullptr;
    INT_PTR result = open();
    KillTimer(nullptr, g_endTimer);
    g_endTimer = 0;
    g_script = nullptr;
    g_scriptDialog = nullptr;
    return result;
}

void PumpFor(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

std::string ItemText(HWND dialog, int id)
{
    char text[512] = {};
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

std::vector<std::string> ComboItems(HWND dialog, int id)
{
    std::vector<std::string> items;
    char text[512];
    for (int i = 0; i < SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0); ++i)
        if (SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text)) >= 0)
            items.push_back(text);
    return items;
}

void ClickButton(HWND dialog, int id)
{
    SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
}
