// Driving modal dialogs and message boxes from a test on the one thread,
// without ever blocking: message boxes are answered as soon as they become
// active, and a test script runs inside a dialog's own modal loop.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct SeenMessageBox {
    std::string caption;  // CP932, as the ANSI functions give it
    std::string text;
    HWND owner;
    HWND window;
    int firstFocus;  // control ID of the first control to get the focus: the default button
    bool hasYes;
    bool hasNo;
};

// For its lifetime, every message box shown on this thread is recorded and
// answered with the current answer (IDOK, IDYES, IDNO, ...).
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(int answer = IDOK);
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    void SetAnswer(int answer);
    const std::vector<SeenMessageBox>& Seen() const;
    void Clear();
};

// Runs open() (which shows a modal dialog and returns its result) and calls
// script(dialog) once, from inside the dialog's modal loop, as soon as the
// dialog with that caption is active. The script ends the dialog itself
// (clicks, posted keys); if it does not, the dialog is cancelled after it.
// Message boxes met meanwhile go to the MessageBoxAnswerer, which must exist.
INT_PTR RunModalScript(const char* caption, const std::function<INT_PTR()>& open,
                       const std::function<void(HWND)>& script);

// Lets the current modal loop (or the test thread) handle what is queued,
// for about the given time.
void PumpFor(DWORD milliseconds);

std::string ItemText(HWND dialog, int id);
std::string ComboItemText(HWND dialog, int id, int index);
std::vector<std::string> ComboItems(HWND dialog, int id);
int ComboSelection(HWND dialog, int id);
// A click as the button's own procedure sees it: BM_CLICK.
void ClickButton(HWND dialog, int id);
