// Process-wide handles of the application shell.
#pragma once
#include <windows.h>

// WM_USER+1: a new block is in the shared sample buffer.
const UINT UM_NEWDATA = WM_USER + 1;
// WM_USER+2: erase the window.
const UINT UM_CLEAR = WM_USER + 2;

extern HINSTANCE g_hInstance;
// Null while the control dialog is still initialising.
extern HWND g_hControlDialog;
// Auto-reset; every capture notification position sets it.
extern HANDLE g_hNotificationEvent;
// The title window while it is up; null before and after.
extern HWND g_hTitleWindow;
