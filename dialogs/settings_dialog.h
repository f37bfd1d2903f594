// The settings dialog ("基本設定"): capture device and rate, overload
// behaviour, the X-Y window's options and the Wave window's caution level.
#pragma once
#include <windows.h>

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Fills every list and selects every control from g_Settings. With no
// capture device the device list stays empty (after a message) but the
// other controls are still set, so OK keeps the user's values.
void FillSettingsDialog(HWND dialog);

// Reads every control into g_Settings, with the defaults for empty lists
// and non-numbers.
void StoreSettingsDialog(HWND dialog);
