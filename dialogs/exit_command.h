// The normal end of a run: what F12, the menu's exit and the control
// dialog's close box do before the dialog is destroyed.
#pragma once

#include <windows.h>

// Stops the capture, releases the capture objects, copies the control
// dialog's and the display windows' positions into the record and writes
// every value.
void SaveOnExit(HWND dialog);
