// The one loop of the one thread: capture notifications and window messages.
#pragma once
#include <windows.h>

// Runs until the quit message or a failed capture read; returns the wParam of
// the last message taken from the queue.
WPARAM RunMainLoop(HACCEL accelerators);

// Takes every waiting message through the accelerators, the control dialog's
// keyboard handling and dispatch. Returns true once WM_QUIT was among them.
bool DrainMessageQueue(HACCEL accelerators, WPARAM* lastWParam);
