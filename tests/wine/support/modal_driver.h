// Drives modal dialogs and message boxes from a test on its one thread,
// never blocking: boxes are answered as they become active, and a script
// runs inside a dialog's own modal loop.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct SeenMessageBox {
    std::string caption, text;  // CP932, as the ANSI functions give it
    HWND owner;
    int defaultButton;  // ID of the control focused first
    bool yesNo;         // has both Yes and No
};

// While it lives, every message box shown on this thread is recorded and
// answered with the current answer (IDOK, IDYES, IDNO, ...).
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(int answer = IDOK);
    ~MessageBoxAnswerer();
    void SetAnswer(int answer);
    const std::vector<SeenMessageBox>& Seen() const;
};

// Runs open() (which shows a modal dialog and returns its result) and calls
// script(dialog) inside its loop once the dialog with that caption is active.
// A dialog the script leaves open ends with -1. A MessageBoxAnswerer must exist.
INT_PTR RunModalScript(const char* caption, const std::function<INT_PTR()>& open,
                       const std::function<void(HWND)>& script);

// Handles what is queued for about that long.
void PumpFor(DWORD milliseconds);
std::string ItemText(HWND dialog, int id);
std::vector<std::string> ComboItems(HWND dialog, int id);
void ClickButton(HWND dialog, int id);  // BM_CLICK, as the button sees a click
