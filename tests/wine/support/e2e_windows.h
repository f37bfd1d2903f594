// Looking at and driving the windows of a running Tavrel from outside, as a
// user would: keys and clicks posted to its windows, texts read back, message
// boxes found and answered.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/wine/support/tavrel_process.h"

// Polls until the condition holds or the time is up; true when it held.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD stepMs = 50);

// The first top-level window of the process with this class (and caption,
// when one is given), visible or not; null when there is none.
HWND FindProcessWindow(DWORD processId, const char* className, const char* caption = nullptr);
// All visible dialog-class ("#32770") top-level windows of the process.
std::vector<HWND> ProcessDialogs(DWORD processId);

// The display windows of a running Tavrel: [0] Wave, [1] X-Y, [2] Decibel, [3] FFT.
struct TavrelWindows {
    HWND control = nullptr;
    HWND display[4] = {nullptr, nullptr, nullptr, nullptr};
};
bool FindTavrelWindows(const TavrelProcess& process, TavrelWindows* windows);

// Text as the ANSI functions give it (CP932 bytes).
std::string TextOf(HWND window);
std::string ItemTextOf(HWND dialog, int id);
// Text that only the control itself knows (an edit's), asked for with a
// sent WM_GETTEXT. The wide message is used across processes: Wine passes
// the narrow forms of list texts on as wide characters.
std::string RemoteTextOf(HWND control);
// The items of a combo box of another process, in list order.
std::vector<std::string> RemoteComboItems(HWND combo);

// A key press (down and up) posted to the window, as the keyboard would
// queue it: it goes through Tavrel's accelerator table.
void PostKey(HWND window, UINT virtualKey);
// A character typed into a control.
void PostChar(HWND window, char c);

// A message box of the process: its caption and text.
struct SeenBox {
    HWND window = nullptr;
    std::string caption;
    std::string text;
};
// Waits for a dialog-class window of the process with the given caption
// (any caption when null) other than the ones listed; the box's text is
// the static control 0xFFFF's.
bool WaitForProcessBox(DWORD processId, const char* caption, DWORD timeoutMs, SeenBox* box,
                       const std::vector<HWND>& except = {});
// Presses the box's OK (or the given) button.
void AnswerBox(const SeenBox& box, int buttonId = IDOK);

// The window answers a sent message within the time: its thread is not stuck.
bool Answers(HWND window, DWORD timeoutMs = 5000);

// Outer rectangle in screen pixels.
RECT OuterRect(HWND window);

// Reads the counter text "カウンタ: %d 秒数:%d"; false when it has not that shape.
bool ReadCounter(HWND controlDialog, int* blocks, int* seconds);
