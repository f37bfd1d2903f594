// What the in-process tests share: Tavrel's windows made once per process as
// start-up makes them (the control dialog, which creates the four display
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

// Outer x, y, width, height: control dialog, Wave, X-Y, Decibel, FFT. Apart
// on the 1600 x 1200 screen, so each is read back whole.
extern const int kTestLayout[5][4];

FakeDirectSoundCapture& Fake();
// The control dialog and the display windows, once per process, all shown.
void EnsureTavrelWindows();
HWND DisplayWindow(int index);  // 0 Wave, 1 X-Y, 2 Decibel, 3 FFT
void Pump();
void PumpFor(DWORD milliseconds);
// The start/stop command of the control dialog.
void PressStartStop();

// Writes the frames (left, right) into the capture buffer after the last
// ones, moves the read position behind them and runs the block step.
bool FeedBlock(const std::vector<short>& frames);
// n frames of a sine per channel; amplitude in sample units, 0 for silence.
std::vector<short> Tone(int n, double left, double leftHz, double right, double rightHz,
                        int rate = 48000);

// The client area on screen, rows of 0x00RRGGBB.
std::vector<std::uint32_t> ScreenPixels(HWND window, int* width = nullptr, int* height = nullptr);
std::string WindowText(HWND window);

struct SeenBox {
    std::string caption, text;
    HWND owner;
    bool tavrelLive;  // another window of Tavrel still took input under it
};

// While it lives, every dialog and message box that opens on this thread
// runs the next script given, inside its own modal loop. A message box with
// no script left is recorded and answered with its default button; a dialog
// with none is cancelled.
class ModalDriver {
public:
    ModalDriver();
    ~ModalDriver();
    void Then(std::function<void(HWND dialog)> script);
    std::vector<SeenBox> boxes;
};
