#include "tests/wine/support/tavrel_process.h"

#include <cstdlib>

std::string TavrelBinDirectory()
{
    const char* unixPath = std::getenv("TAVREL_BIN_DIR");
    std::string path = unixPath ? unixPath : "";
    // Wine maps the Unix root to drive Z:.
    if (!path.empty() && path[0] == '/') {
        for (char& c : path)
            if (c == '/')
                c = '\\';
        path = "Z:" + path;
    }
    return path;
}

namespace {
struct DialogSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindControlDialog(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<DialogSearch*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char className[32] = {0}, title[64] = {0};
    GetClassNameA(window, className, sizeof(className));
    GetWindowTextA(window, title, sizeof(title));
    if (pid == search->processId && std::string(className) == "#32770" &&
        std::string(title) == "Tavrel" && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

bool StartTavrel(TavrelProcess* process, DWORD timeoutMs)
{
    std::string directory = TavrelBinDirectory();
    std::string exe = directory + "\\Tavrel.exe";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    if (!CreateProcessA(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &process->info))
        return false;
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        DialogSearch search{process->info.dwProcessId, nullptr};
        EnumWindows(FindControlDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            process->controlDialog = search.found;
            return true;
        }
        if (WaitForSingleObject(process->info.hProcess, 50) == WAIT_OBJECT_0)
            return false;
    }
    return false;
}

DWORD WaitForTavrelExit(TavrelProcess* process, DWORD timeoutMs)
{
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process->info.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process->info.hProcess, &code);
    return code;
}

void KillTavrel(TavrelProcess* process)
{
    if (!process->info.hProcess)
        return;
    TerminateProcess(process->info.hProcess, 1);
    WaitForSingleObject(process->info.hProcess, 5000);
    CloseHandle(process->info.hProcess);
    CloseHandle(process->info.hThread);
    process->info = PROCESS_INFORMATION{};
}

void DeleteTavrelKey()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, kTavrelKey);
}

int CountTavrelValues()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kTavrelKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return -1;
    DWORD values = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return static_cast<int>(values);
}

bool ReadTavrelDword(const char* name, int* value)
{
    DWORD type = 0, data = 0, size = sizeof(data);
    if (RegGetValueA(HKEY_CURRENT_USER, kTavrelKey, name, RRF_RT_ANY, &type, &data, &size) !=
        ERROR_SUCCESS)
        return false;
    if (type != REG_DWORD || size != 4)
        return false;
    *value = static_cast<int>(data);
    return true;
}

void WriteTavrelDword(const char* name, int value)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kTavrelKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    DWORD data = static_cast<DWORD>(value);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), 4);
    RegCloseKey(key);
}
