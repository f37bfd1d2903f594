// What the in-process tests share: Tavrel's windows made once per process as
// start-up makes them (the control dialog, which creates the display
// windows) on the in-memory DirectSound double; blocks fed through the real
// block step; pixels read back from the screen; dialogs and message boxes
// driven inside their own modal loops.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "fake_dsound.h"

FakeDirectSoundCapture& Fake();
// How often the device was opened afresh (each open gives the double).
extern int g_captureOpens;
HRESULT WINAPI CreateFake(LPCGUID, LPDIRECTSOUNDCAPTURE* capture, LPUNKNOWN);
void Pump();
void PressStartStop();
// Writes the frames (left, right) after the last ones, moves the read
// position behind them and runs the block step.
bool FeedBlock(const std::vector<short>& frames);
// n frames of a sine per channel, amplitudes in sample units.
std::vector<short> Tone(int n, double left, double leftHz, double right, double rightHz);
// The client area on screen, rows of 0x00RRGGBB.
std::vector<std::uint32_t> ScreenPixels(HWND window);
std::string ItemText(HWND dialog, int id);

struct SeenBox {
    std::string caption, text;
    HWND owner;
    bool tavrelLive;  // a window of Tavrel still took input under it
};
// While it lives, each dialog or message box, as it opens, runs the next
// script inside its own modal loop. Every box is recorded; one with no
// script left is answered with its default button, a dialog with none is
// cancelled.
struct ModalDriver {
    ModalDriver();
    ~ModalDriver();
    void Then(std::function<void(HWND dialog)> script);
    std::vector<SeenBox> boxes;
};
