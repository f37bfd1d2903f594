// The control dialog: the application's main window and the owner of every
// command the user can give.
#pragma once
#include <windows.h>

INT_PTR CALLBACK ControlDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
bool InitControlDialog(HWND dialog);

// The capture stopped signalling (its device went away): stops it as the
// start/stop command would, closes the capture object and says so; the run
// goes on, stopped.
void StopLostCapture(HWND dialog);
