#include "about_dialog.h"

#include <shellapi.h>

#include <cstdio>

#include "module_path.h"
#include "path_join.h"
#include "resource.h"
#include "shell_state.h"

ShellExecuteAFunction g_pShellExecuteA = ShellExecuteA;
HtmlHelpAFunction g_pHtmlHelpA = nullptr;
WinExecFunction g_pWinExec = WinExec;

// HH_DISPLAY_TOPIC and HH_CLOSE_ALL of the HTML Help API.
static const UINT kHelpDisplayTopic = 0x0000;
static const UINT kHelpCloseAll = 0x0012;
static const char kHelpFile[] = "Tavrel.chm";

// Loaded on first use only: most runs never open the help. Only the
// system's own copy is loaded: a file of that name in the program's folder,
// or a registration any program can write, must not run in Tavrel.
static HtmlHelpAFunction LoadHtmlHelp()
{
    static bool s_tried = false;
    static HtmlHelpAFunction s_function = nullptr;
    if (s_tried)
        return s_function;
    s_tried = true;
    char path[kPathBufferSize];
    SystemFilePath("hhctrl.ocx", path, sizeof(path));
    HMODULE module = path[0] ? LoadLibraryA(path) : nullptr;
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
    // The file beside the program: HTML Help looks for a bare name in the
    // current folder, which is the program's only when started from it.
    char file[kPathBufferSize];
    ModuleRelativePath(kHelpFile, file, sizeof(file));
    if (!file[0])
        lstrcpynA(file, kHelpFile, sizeof(file));
    char name[kPathBufferSize + 64];
    if (topic)
        std::snprintf(name, sizeof(name), "%s::%s", file, topic);
    else
        lstrcpynA(name, file, sizeof(name));
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

void CloseHelp()
{
    if (g_pHtmlHelpA)
        g_pHtmlHelpA(nullptr, nullptr, kHelpCloseAll, 0);
}

// Named by its full path in the system folder: the search by name would run
// a file of that name in the program's or the current folder first.
void RunVolumeControl(bool recording)
{
    char path[kPathBufferSize];
    SystemFilePath("SNDVOL32.EXE", path, sizeof(path));
    if (!path[0])
        return;
    char commandLine[kPathBufferSize + 8];
    std::snprintf(commandLine, sizeof(commandLine), recording ? "\"%s\" /r" : "\"%s\"", path);
    g_pWinExec(commandLine, SW_SHOW);
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
