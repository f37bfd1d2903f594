#include "driver.h"

#include <cstdio>
#include <cstdlib>

#include "../../res/resource.h"

bool WaitUntil(const std::function<bool()>& done, DWORD ms)
{
    for (const DWORD start = GetTickCount(); !done(); Sleep(20))
        if (GetTickCount() - start > ms)
            return false;
    return true;
}

// ---- the Unix side (Wine maps the Unix root to Z: and takes forward slashes) ----

std::string Scratch()
{
    static const std::string dir = [] {
        // The environment's short private folder: its path is ASCII without spaces,
        // so it reads the same in this process's code page and in a shell script.
        const char* env = std::getenv("XDG_RUNTIME_DIR");
        const std::string d = std::string(env && *env == '/' ? env : "/tmp") + "/e2e-" +
                              std::to_string(GetCurrentProcessId());
        CreateDirectoryA(("Z:" + d).c_str(), nullptr);
        return d;
    }();
    return dir;
}

int Sh(const std::string& script)
{
    static int count = 0;
    const std::string base = Scratch() + "/sh" + std::to_string(++count);
    std::string command = "/bin/bash " + base + ".sh";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const std::string text = "(\n" + script + "\n) >" + base + ".out 2>&1 </dev/null\necho $? >" +
                             base + ".t && mv " + base + ".t " + base + ".rc\n";
    FILE* f = std::fopen(("Z:" + base + ".sh").c_str(), "wb");
    if (!f || std::fputs(text.c_str(), f) < 0 || std::fclose(f) != 0 ||
        !CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return -1;
    FILE* done = nullptr;
    int status = -1;
    if (WaitUntil(
            [&] { return (done = std::fopen(("Z:" + base + ".rc").c_str(), "r")) != nullptr; },
            30000))
        std::fscanf(done, "%d", &status), std::fclose(done);
    return status;
}

// ---- the registry ---------------------------------------------------------------

Stored ReadKey()
{
    Stored values;
    HKEY key;
    char name[256];
    DWORD nameSize = sizeof name, type = 0, data = 0, size = sizeof data;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kTavrelKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0; RegEnumValueA(key, i, name, &nameSize, nullptr, &type,
                                    reinterpret_cast<BYTE*>(&data), &size) != ERROR_NO_MORE_ITEMS;
         ++i, nameSize = sizeof name, size = sizeof data)
        values[name] = type == REG_DWORD && size == 4 ? static_cast<long long>(data) : kNotDword;
    RegCloseKey(key);
    return values;
}

// ---- the program ------------------------------------------------------------------

Tavrel::~Tavrel()
{
    // Fails, or does nothing, once the run has ended.
    if (process_ && TerminateProcess(process_, 1))
        WaitForSingleObject(process_, 5000);
    if (process_)
        CloseHandle(process_);
}

bool Tavrel::Start(bool soundServer, const std::string& unixFolder)
{
    const char* bin = std::getenv("TAVREL_BIN_DIR");
    // From a shell, as a user starts it: a process that CreateProcess starts
    // keeps this one's Unix environment, PULSE_SERVER included.
    const std::string server = soundServer ? "" : "PULSE_SERVER=unix:" + Scratch() + "/none ";
    // The bin folder by its Unix name: the checkout's path may not be ASCII.
    const std::string folder =
        unixFolder.empty() && bin ? "\"$TAVREL_BIN_DIR\"" : "'" + unixFolder + "'";
    return Sh("(cd " + folder + " && " + server +
              "exec \"${WINE:-wine}\" Tavrel.exe) >/dev/null 2>&1 &") == 0;
}

std::vector<HWND> Tavrel::Shown(const wchar_t* className) const
{
    std::vector<HWND> found;
    DWORD owner = 0;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, className, nullptr)) != nullptr;)
        if (GetWindowThreadProcessId(w, &owner) && owner != GetCurrentProcessId() &&
            (!pid || owner == pid) && IsWindowVisible(w))
            found.push_back(w);
    return found;
}

bool Tavrel::FindWindows()
{
    const wchar_t* classes[4] = {L"WAVECLASS", L"RESURGECLASS", L"DECIBELCLASS", L"FFTCLASS"};
    const bool found = WaitUntil(
        [&] {
            for (HWND w : Shown(L"#32770"))
                dialog = GetDlgItem(w, IDC_STARTSTOP) ? w : dialog;
            for (int i = 0; i < 4; ++i)
                windows[i] = Shown(classes[i]).empty() ? nullptr : Shown(classes[i])[0];
            return dialog && windows[0] && windows[1] && windows[2] && windows[3];
        },
        10000);
    if (found && !process_ && GetWindowThreadProcessId(dialog, &pid))
        process_ = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
    return found && process_;
}

void Tavrel::Key(UINT virtualKey) const
{
    const LPARAM first = 1 | MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC) << 16;
    PostMessageW(dialog, WM_KEYDOWN, virtualKey, first);
    PostMessageW(dialog, WM_KEYUP, virtualKey, first | 0xC0000000);
}

bool Tavrel::AnswerBox(Box* box, bool press) const
{
    const bool seen = WaitUntil(
        [&] {
            for (HWND w : Shown(L"#32770")) {
                // A message box's text; Tavrel's dialogs have statics of that ID too.
                HWND text = GetDlgItem(w, 0xFFFF);
                if (w == dialog || !text || GetDlgItem(w, IDC_DEVICE_LIST))
                    continue;
                *box = {w, GetWindow(w, GW_OWNER), Text(w), Text(text)};
                return true;
            }
            return false;
        },
        8000);
    if (!seen || !press)
        return seen;
    return PostMessageW(box->window, WM_COMMAND, IDOK, 0) &&
           WaitUntil([&] { return !IsWindowVisible(box->window); });
}

bool Tavrel::Captures() const
{
    // "カウンタ: <blocks> 秒数:<seconds>", from 0 at the start.
    return WaitUntil([&] {
        const std::wstring text = Item(IDC_COUNTER);
        const size_t digit = text.find_first_of(L"0123456789");
        return digit != std::wstring::npos && std::wcstol(&text[digit], nullptr, 10) >= 30;
    });
}

DWORD Tavrel::Exit(DWORD ms)
{
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process_, ms) == WAIT_OBJECT_0)
        GetExitCodeProcess(process_, &code);
    return code;
}
