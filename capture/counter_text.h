// The control dialog's counter, "カウンタ: %d 秒数:%d": kept current in
// memory at every block step and put on the screen with the windows, at
// most once per display refresh.
#pragma once
#include <windows.h>

// Counts the block step and makes the text anew. From then on the counter
// control of this dialog answers WM_GETTEXT and WM_GETTEXTLENGTH with it, so
// a reader that asks the control gets the newest text at once; the control's
// own text (what it shows, and what GetWindowText of another process reads)
// follows at the next ShowCounterText.
void UpdateCounterText(HWND dialog);
// Sets the control's text, when it has changed since the last call.
void ShowCounterText();
