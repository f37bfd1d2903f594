#include "tests/wine/support/e2e_windows.h"

#include <cstring>

#include "resource.h"

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD stepMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(stepMs);
    }
}

namespace {
struct WindowSearch {
    DWORD processId;
    const char* className;
    const char* caption;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindows(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->processId)
        return TRUE;
    if (search->visibleOnly && !IsWindowVisible(window))
        return TRUE;
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    if (search->className && std::strcmp(name, search->className) != 0)
        return TRUE;
    if (search->caption && TextOf(window) != search->caption)
        return TRUE;
    search->found.push_back(window);
    return TRUE;
}
}  // namespace

HWND FindProcessWindow(DWORD processId, const char* className, const char* caption)
{
    WindowSearch search{processId, className, caption, false, {}};
    EnumWindows(CollectWindows, reinterpret_cast<LPARAM>(&search));
    return search.found.empty() ? nullptr : search.found.front();
}

std::vector<HWND> ProcessDialogs(DWORD processId)
{
    WindowSearch search{processId, "#32770", nullptr, true, {}};
    EnumWindows(CollectWindows, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool FindTavrelWindows(const TavrelProcess& process, TavrelWindows* windows)
{
    const DWORD pid = process.info.dwProcessId;
    windows->control = process.controlDialog;
    const char* classes[4] = {"WAVECLASS", "RESURGECLASS", "DECIBELCLASS", "FFTCLASS"};
    for (int i = 0; i < 4; ++i)
        windows->display[i] = FindProcessWindow(pid, classes[i]);
    return windows->control && windows->display[0] && windows->display[1] &&
           windows->display[2] && windows->display[3];
}

std::string TextOf(HWND window)
{
    char text[512] = {};
    // For another process's window this reads the stored text without
    // waiting on its thread.
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

std::string ItemTextOf(HWND dialog, int id)
{
    return TextOf(GetDlgItem(dialog, id));
}

static std::string Narrow(const std::wstring& wide)
{
    if (wide.empty())
        return "";
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(size, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &text[0], size, nullptr, nullptr);
    text.resize(size > 0 ? size - 1 : 0);
    return text;
}

std::string RemoteTextOf(HWND control)
{
    wchar_t text[512] = {};
    DWORD_PTR result = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000,
                        &result);
    return Narrow(text);
}

std::vector<std::string> RemoteComboItems(HWND combo)
{
    std::vector<std::string> items;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
        std::wstring text(length > 0 ? length + 1 : 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
        items.push_back(Narrow(text.c_str()));
    }
    return items;
}

void PostKey(HWND window, UINT virtualKey)
{
    const UINT scan = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    PostMessageA(window, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    PostMessageA(window, WM_KEYUP, virtualKey, 1 | (scan << 16) | 0xC0000000u);
}

void PostChar(HWND window, char c)
{
    PostMessageA(window, WM_CHAR, static_cast<unsigned char>(c), 1);
}

bool WaitForProcessBox(DWORD processId, const char* caption, DWORD timeoutMs, SeenBox* box,
                       const std::vector<HWND>& except)
{
    return WaitUntil(
        [&] {
            for (HWND window : ProcessDialogs(processId)) {
                bool excluded = false;
                for (HWND e : except)
                    excluded = excluded || e == window;
                if (excluded)
                    continue;
                const std::string title = TextOf(window);
                if (caption && title != caption)
                    continue;
                box->window = window;
                box->caption = title;
                box->text = ItemTextOf(window, 0xFFFF);
                return true;
            }
            return false;
        },
        timeoutMs);
}

void AnswerBox(const SeenBox& box, int buttonId)
{
    PostMessageA(box.window, WM_COMMAND, buttonId, 0);
    WaitUntil([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); }, 5000);
}

bool Answers(HWND window, DWORD timeoutMs)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

RECT OuterRect(HWND window)
{
    RECT rect{0, 0, 0, 0};
    GetWindowRect(window, &rect);
    return rect;
}

bool ReadCounter(HWND controlDialog, int* blocks, int* seconds)
{
    // Byte by byte: the CRT's scanf is not reliable with CP932 text.
    const std::string text = ItemTextOf(controlDialog, IDC_COUNTER);
    const std::string head = "カウンタ: ";
    const std::string middle = " 秒数:";
    if (text.compare(0, head.size(), head) != 0)
        return false;
    size_t pos = head.size();
    auto number = [&](int* value) {
        const size_t start = pos;
        long n = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')
            n = n * 10 + (text[pos++] - '0');
        *value = static_cast<int>(n);
        return pos > start;
    };
    if (!number(blocks) || text.compare(pos, middle.size(), middle) != 0)
        return false;
    pos += middle.size();
    return number(seconds) && pos == text.size();
}
