// What the in-process tests share: Tavrel's windows made once per process as
// start-up makes them (the control dialog, which creates the display
// windows) on the in-memory DirectSound double; each case started from the
// same state; blocks fed through the real block step; pixels read back from
// the screen; dialogs and message boxes driven inside their own modal loops.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "capture_session.h"
#include "fake_dsound.h"

FakeDirectSoundCapture& Fake();
// How often the device was opened afresh (each open gives the double).
extern int g_captureOpens;
HRESULT WINAPI CreateFake(LPCGUID, LPDIRECTSOUNDCAPTURE* capture, LPUNKNOWN);
void Pump();
// The fixture of every in-process case: capture stopped, the settings and the
// display windows' places as the run began, every window shown, the double
// installed and starting, the platform entry points the real ones.
struct FromKnownState : ::testing::Test {
    void SetUp() override;
    // The control dialog's start/stop command, given only when it starts
    // (stops) a capture; true when one runs (none runs) afterwards.
    static bool Start() { return g_bCapturing || (StartStop(), g_bCapturing); }
    static bool Stop() { return !g_bCapturing || (StartStop(), !g_bCapturing); }

private:
    static void StartStop();
};
// Writes the frames (left, right) after the last ones, moves the read
// position behind them and runs the block step.
bool FeedBlock(const std::vector<short>& frames);
// n frames of a sine per channel, amplitudes in sample units.
std::vector<short> Tone(int n, double left, double leftHz, double right, double rightHz);
// The client area on screen, rows of 0x00RRGGBB.
std::vector<std::uint32_t> ScreenPixels(HWND window);
std::string ItemText(HWND dialog, int id);
// The caption, then the texts of the buttons and statics but pictures, in
// template order, each after a "|".
std::string Texts(HWND dialog);
// A list's items, blank-separated.
std::string ListItems(HWND dialog, int id);

struct SeenBox {
    std::string caption, text;
    long style;  // the MB_ flags it shows: icon, buttons, the second as default
    HWND owner;
    bool tavrelLive;  // a window of Tavrel still took input under it
    auto Shown() const { return std::tie(caption, text, style, owner); }
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
