// The About dialog and the outward-facing pieces the menus reach: the help
// file, the shell's "open" and the volume-control programs. None of them
// changes the application's state, and none reports a failure.
#pragma once
#include <windows.h>

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Asks the shell to "open" file (SW_SHOW, no owner); null opens the homepage
// address of string resource 2.
void ShellOpen(const char* file);

// Opens "Tavrel.chm" through HTML Help at its default topic, or at topic
// ("Tavrel.chm::topic") when one is given.
void ShowHelp(const char* topic);

// Closes any help window still open (before COM is shut down at exit).
void CloseHelp();

// Starts the system's volume control from the system folder, its recording
// controls when recording. One call starts one program.
void RunVolumeControl(bool recording);

// The three platform entry points, replaceable so tests can watch what is
// passed without starting anything. g_pHtmlHelpA stays null until the first
// ShowHelp finds the HTML Help control.
using ShellExecuteAFunction = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
using HtmlHelpAFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
using WinExecFunction = UINT(WINAPI*)(LPCSTR, UINT);
extern ShellExecuteAFunction g_pShellExecuteA;
extern HtmlHelpAFunction g_pHtmlHelpA;
extern WinExecFunction g_pWinExec;
