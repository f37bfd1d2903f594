#include "tests/wine/support/modal_driver.h"

#include <utility>

namespace {

HHOOK g_hook = nullptr;
int g_answer = IDOK;
std::vector<SeenMessageBox> g_seen;
// Dialog windows created while the answerer lives: windows that were there
// before (a control dialog re-activated when a modal dialog ends) are not
// message boxes to answer.
std::vector<HWND> g_created;

std::vector<std::pair<HWND, int>> g_firstFocus;

int FirstFocus(HWND dialog)
{
    for (const auto& entry : g_firstFocus)
        if (entry.first == dialog)
            return entry.second;
    return 0;
}

bool CreatedMeanwhile(HWND window)
{
    for (HWND w : g_created)
        if (w == window)
            return true;
    return false;
}

std::string Caption(HWND window)
{
    char text[512] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

bool IsDialogWindow(HWND window)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof(name));
    return lstrcmpA(name, "#32770") == 0;
}

// The dialog a running script waits for.
struct PendingScript {
    const char* caption = nullptr;
    const std::function<void(HWND)>* script = nullptr;
    HWND dialog = nullptr;
    bool started = false;
};
PendingScript* g_pending = nullptr;

HWND g_hForgotten = nullptr;
UINT_PTR g_forgottenTimer = 0;

void CALLBACK CancelForgottenDialog(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    g_forgottenTimer = 0;
    if (g_hForgotten && IsWindow(g_hForgotten))
        PostMessageA(g_hForgotten, WM_COMMAND, IDCANCEL, 0);
}

void CALLBACK RunScriptTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    PendingScript* pending = g_pending;
    if (!pending || !pending->dialog)
        return;
    (*pending->script)(pending->dialog);
    // A script that forgot to end the dialog must not hang the suite; one
    // that posted its ending gets time for the post to arrive.
    if (IsWindow(pending->dialog)) {
        g_hForgotten = pending->dialog;
        g_forgottenTimer = SetTimer(nullptr, 0, 5000, CancelForgottenDialog);
    }
}

LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (IsDialogWindow(window))
            g_created.push_back(window);
    } else if (code == HCBT_SETFOCUS) {
        // A message box focuses its default button before it is activated.
        HWND focus = reinterpret_cast<HWND>(wParam);
        HWND parent = focus ? GetParent(focus) : nullptr;
        if (parent && CreatedMeanwhile(parent) && FirstFocus(parent) == 0)
            g_firstFocus.push_back({parent, GetDlgCtrlID(focus)});
    } else if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (IsDialogWindow(window) && CreatedMeanwhile(window)) {
            const std::string caption = Caption(window);
            PendingScript* pending = g_pending;
            if (pending && !pending->started && caption == pending->caption) {
                pending->started = true;
                pending->dialog = window;
                SetTimer(nullptr, 0, 0, RunScriptTimer);
            } else if (!pending || window != pending->dialog) {
                char text[1024] = {};
                GetDlgItemTextA(window, 0xFFFF, text, sizeof(text));
                g_seen.push_back({caption, text, GetWindow(window, GW_OWNER), window,
                                  FirstFocus(window),
                                  GetDlgItem(window, IDYES) != nullptr,
                                  GetDlgItem(window, IDNO) != nullptr});
                PostMessageA(window, WM_COMMAND, g_answer, 0);
            }
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
    g_firstFocus.clear();
    g_hook = SetWindowsHookExA(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    if (g_hook)
        UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
}

void MessageBoxAnswerer::SetAnswer(int answer)
{
    g_answer = answer;
}

const std::vector<SeenMessageBox>& MessageBoxAnswerer::Seen() const
{
    return g_seen;
}

void MessageBoxAnswerer::Clear()
{
    g_seen.clear();
}

INT_PTR RunModalScript(const char* caption, const std::function<INT_PTR()>& open,
                       const std::function<void(HWND)>& script)
{
    PendingScript pending;
    pending.caption = caption;
    pending.script = &script;
    PendingScript* outer = g_pending;
    g_pending = &pending;
    INT_PTR result = open();
    g_pending = outer;
    if (g_forgottenTimer) {
        KillTimer(nullptr, g_forgottenTimer);
        g_forgottenTimer = 0;
    }
    g_hForgotten = nullptr;
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

std::string ComboItemText(HWND dialog, int id, int index)
{
    LRESULT length = SendDlgItemMessageA(dialog, id, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR)
        return "<none>";
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
}

std::vector<std::string> ComboItems(HWND dialog, int id)
{
    std::vector<std::string> items;
    LRESULT count = SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i)
        items.push_back(ComboItemText(dialog, id, i));
    return items;
}

int ComboSelection(HWND dialog, int id)
{
    return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}

void ClickButton(HWND dialog, int id)
{
    SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
}
