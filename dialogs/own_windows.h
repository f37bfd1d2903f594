// Which windows of the thread are Tavrel's own. Other windows can live on
// the same thread (the HTML Help viewer does); their keys are not commands.
#pragma once
#include <windows.h>

// True for the control dialog, the four display windows, the title window
// and any window inside them; false for null and everything else.
bool IsTavrelWindow(HWND window);
