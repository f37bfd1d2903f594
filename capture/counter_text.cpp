#include "counter_text.h"

#include <algorithm>
#include <cstring>

#include "capture_geometry.h"
#include "resource.h"

namespace {

char s_text[64] = "";
bool s_textShown = true;
HWND s_dialog = nullptr;
HWND s_control = nullptr;
WNDPROC s_staticProc = nullptr;

LRESULT CALLBACK CounterControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETTEXTLENGTH)
        return static_cast<LRESULT>(std::strlen(s_text));
    if (message == WM_GETTEXT) {
        char* to = reinterpret_cast<char*>(lParam);
        if (!to || wParam == 0)
            return 0;
        const size_t n = std::min<size_t>(std::strlen(s_text), wParam - 1);
        std::memcpy(to, s_text, n);
        to[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    return CallWindowProcA(s_staticProc, window, message, wParam, lParam);
}

// Once per dialog: the control is found and subclassed, not asked for at
// every block.
void HookCounterControl(HWND dialog)
{
    if (dialog == s_dialog)
        return;
    s_dialog = dialog;
    s_control = GetDlgItem(dialog, IDC_COUNTER);
    if (s_control)
        s_staticProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            s_control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CounterControlProc)));
}

}  // namespace

void UpdateCounterText(HWND dialog)
{
    static CounterState counter;
    const CounterReading reading = AdvanceCounter(counter, GetTickCount());
    wsprintfA(s_text, "カウンタ: %u 秒数:%u", reading.blocks, reading.seconds);
    s_textShown = false;
    HookCounterControl(dialog);
}

void ShowCounterText()
{
    if (s_textShown || !s_control || !IsWindow(s_control))
        return;
    s_textShown = true;
    SetWindowTextA(s_control, s_text);
}
