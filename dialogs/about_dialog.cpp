#include "about_dialog.h"

#include <shellapi.h>

#include <cstdio>

#include "shell_state.h"
#include "resource.h"

ShellExecuteAFunction g_pShellExecuteA = ShellExecuteA;
HtmlHelpAFunction g_pHtmlHelpA = nullptr;
WinExecFunction g_pWinExec = WinExec;

// HH_DISPLAY_TOPIC of the HTML Help API.
static const UINT kHelpDisplayTopic = 0x0000;
static const char kHelpFile[] = "Tavrel.chm";
// The HTML Help control's class; its server is the DLL that exports HtmlHelpA.
static const char kHelpControlServerKey[] =
    "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

// The registered server path of the HTML Help control, expanded; empty when
// the class is not registered.
static void FindHelpControlPath(char* path, DWORD size)
{
    path[0] = '\0';
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kHelpControlServerKey, 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return;
    char raw[MAX_PATH] = {};
    DWORD type = 0;
    DWORD bytes = sizeof(raw) - 1;
    LONG result = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(raw),
                                   &bytes);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return;
    if (type == REG_EXPAND_SZ) {
        DWORD needed = ExpandEnvironmentStringsA(raw, path, size);
        if (needed == 0 || needed > size)
            path[0] = '\0';
    } else {
        lstrcpynA(path, raw, static_cast<int>(size));
    }
}

// Loaded on first use only: most runs never open the help.
static HtmlHelpAFunction LoadHtmlHelp()
{
    static bool s_tried = false;
    static HtmlHelpAFunction s_function = nullptr;
    if (s_tried)
        return s_function;
    s_tried = true;
    char path[MAX_PATH];
    FindHelpControlPath(path, sizeof(path));
    HMODULE module = path[0] ? LoadLibraryA(path) : nullptr;
    if (!module)
        module = LoadLibraryA("hhctrl.ocx");
    if (module)
        s_function = reinterpret_cast<HtmlHelpAFunction>(
            reinterpret_cast<void*>(GetProcAddress(module, "HtmlHelpA")));
    return s_function;
}

void ShowHelp(const char* topic)
{
    if (!g_pHtmlHelpA)
        g_pHtmlHelpA = LoadHtmlHelp();
    if (!g_pHtmlHelpA)
        return;
    char name[256];
    if (topic)
        std::snprintf(name, sizeof(name), "%s::%s", kHelpFile, topic);
    else
        lstrcpynA(name, kHelpFile, sizeof(name));
    g_pHtmlHelpA(nullptr, name, kHelpDisplayTopic, 0);
}

void ShellOpen(const char* file)
{
    char homepage[256] = {};
    if (!file) {
        LoadStringA(g_hInstance, IDS_HOMEPAGE, homepage, sizeof(homepage));
        file = homepage;
    }
    g_pShellExecuteA(nullptr, "open", file, nullptr, nullptr, SW_SHOW);
}

void RunVolumeControl(bool recording)
{
    g_pWinExec(recording ? "SNDVOL32.EXE /r" : "SNDVOL32.EXE", SW_SHOW);
}

// "Tavrel " from the template, then the version, " - " and "Release Version".
static void BuildTitleLine(HWND dialog)
{
    char version[256] = {};
    LoadStringA(g_hInstance, IDS_VERSION, version, sizeof(version));
    char head[256] = {};
    GetDlgItemTextA(dialog, IDC_ABOUT_TITLE, head, sizeof(head));
    char line[256 + 256 + 32];
    std::snprintf(line, sizeof(line), "%s%s - Release Version", head, version);
    SetDlgItemTextA(dialog, IDC_ABOUT_TITLE, line);
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        BuildTitleLine(dialog);
        SetFocus(GetDlgItem(dialog, IDOK));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        case IDC_ABOUT_HOMEPAGE:
            // Every notification of the line, so a double click opens twice.
            ShellOpen(nullptr);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}
