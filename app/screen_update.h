// Bringing the screen up to date: what the block steps drew into the display
// windows' buffers and the counter text reach the screen at most once per
// display refresh, and the newest block within one refresh even when no
// block follows it.
#pragma once
#include <windows.h>

// After a block step: the screen is behind; brought up to date now when a
// refresh has passed since the last time.
void NoteScreenBehind();
// The main loop's wait: no longer than until the screen is due.
DWORD ScreenWaitTimeout(DWORD loopTimeout);
// After a wake other than a capture notification: brings the screen up to
// date when it is due. True when the wake was the screen's own (a timeout
// while it was behind), which the loop then has nothing more to do for.
bool TakeScreenWake(DWORD wake, DWORD handles);
// Brings the screen up to date now.
void BringScreenUpToDate();
